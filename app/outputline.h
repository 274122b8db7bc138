#ifndef OUTPUTLINE_H
#define OUTPUTLINE_H

#include <QString>

// Report lines arrive with their own newline; a line shown keeps any further ones.
QString withoutTrailingNewline(const QString& text);

#endif
