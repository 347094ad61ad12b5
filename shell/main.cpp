// Qismar: divides the estate of a deceased Muslim among the heirs.
#include <cstdio>
#include <cstring>

#include "shell/program.h"
#include "qismar_version.h"
#include "shell/report_command.h"

namespace {

// --version and --help are answered before the application object exists,
// so that they work without a display.
bool answeredInformationOption(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("qismar " QISMAR_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs("القسمار: قسمة تركة المتوفى المسلم على الورثة وفق قانون الأحوال الشخصية للمسلمين"
                       " السوداني لسنة 1991\n"
                       "الاستعمال: qismar [خيارات] [ملف.qismar]\n"
                       "  --help, -h   يعرض هذا النص\n"
                       "  --version    يعرض رقم الإصدار\n"
                       "  --report ملف-المسألة --output ملف.pdf\n"
                       "               يكتب تقرير قسمة المسألة في ملف PDF دون نافذة\n"
                       "ويفتح البرنامج المسألة المحفوظة في الملف المذكور.\n"
                       "وتقسم المسائل بلا نافذة ببرنامج qismar-cli.\n"
                       "\n"
                       "usage: qismar [options] [CASE.qismar]\n"
                       "Starts the desktop program, which divides the estate of a deceased Muslim among the\n"
                       "heirs according to the Sudanese Personal Status Law for Muslims of 1991; a case file\n"
                       "named on the command line opens in the heir-entry window.\n"
                       "  --help, -h   show this text and end\n"
                       "  --version    show the version and end\n"
                       "  --report CASE.qismar --output FILE.pdf\n"
                       "               write the report of the division of a case file as a PDF,\n"
                       "               without a window or a display\n"
                       "Cases can also be divided without a window by qismar-cli (see qismar-cli --help).\n",
                       stdout);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (answeredInformationOption(argc, argv))
        return 0;
    if (qismar::asksForReport(argc, argv))
        return qismar::runReportCommand(argc, argv);
    return qismar::runQismar(argc, argv);
}
