#include "recitation_player.h"

#include "ui_common.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace qismar::shell {

std::unique_ptr<RecitationPlayer> createRecitationPlayer()
{
    static RecitationFactory factory = nullptr;
    if (!factory) {
        // The module stays loaded until the program ends.
        QLibrary module(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(kRecitationModule)));
        factory = reinterpret_cast<RecitationFactory>(module.resolve(kRecitationFactory));
        if (!factory)
            throw ui::UiError(QStringLiteral("تعذر تحميل مشغل الصوت: %1").arg(module.errorString()));
    }
    return std::unique_ptr<RecitationPlayer>(factory());
}

}  // namespace qismar::shell
