#include "shell/recitation_player.h"

#include "ui/program_module.h"

namespace qismar::shell {

std::unique_ptr<RecitationPlayer> createRecitationPlayer()
{
    static RecitationFactory factory = nullptr;
    if (!factory)
        factory = reinterpret_cast<RecitationFactory>(
            ui::moduleFactory(kRecitationModule, kRecitationFactory, QStringLiteral("تعذر تحميل مشغل الصوت")));
    return std::unique_ptr<RecitationPlayer>(factory());
}

}  // namespace qismar::shell
