#include "app/outputline.h"

QString withoutTrailingNewline(const QString& text)
{
    return text.endsWith(QLatin1Char('\n')) ? text.chopped(1) : text;
}
