// Qismar: divides the estate of a deceased Muslim among the heirs.
#include "program.h"

int main(int argc, char** argv)
{
    return qismar::runQismar(argc, argv);
}
