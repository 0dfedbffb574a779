#include "platform/ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

namespace snapwire::ui {

namespace {

constexpr const char* kDesignFontFamily = "Tahoma";
constexpr double kDesignFontSize = 8.25;
// Debian's metric-compatible Tahoma lies outside fontconfig's folders.
constexpr const char* kMetricCompatibleFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};
// A condensed face comes close to Tahoma's widths where no Tahoma is to be had.
constexpr const char* kCondensedStandIn = "DejaVu Sans Condensed";

}  // namespace

QFont DesignFont() {
    QFont font(QString::fromLatin1(kDesignFontFamily));
    font.setPointSizeF(kDesignFontSize);
    return font;
}

void UseDesignFonts() {
    static bool done = false;
    if (done)
        return;
    done = true;
    for (const char* file : kMetricCompatibleFiles)
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    const QString family = QString::fromLatin1(kDesignFontFamily);
    if (QFontInfo(QFont(family)).family() != family)
        QFont::insertSubstitution(family, QString::fromLatin1(kCondensedStandIn));
    QApplication::setFont(DesignFont());
}

}  // namespace snapwire::ui
