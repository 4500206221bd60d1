#include "components/WindowFont.h"

#include <QFont>
#include <QStringList>
#include <QWidget>

namespace kpx {

void ApplyWindowFont(QWidget *window)
{
    QFont font = window->font();
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")});
    font.setPixelSize(12);
    window->setFont(font);
}

} // namespace kpx
