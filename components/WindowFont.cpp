#include "components/WindowFont.h"

#include <QFont>
#include <QStringList>
#include <QWidget>

namespace kpx {

QFont ProgramFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")});
    font.setPixelSize(12);
    return font;
}

void ApplyWindowFont(QWidget *window)
{
    window->setFont(ProgramFont());
}

} // namespace kpx
