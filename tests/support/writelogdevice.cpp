#include "writelogdevice.h"

qint64 WriteLogDevice::writeData(const char* data, qint64 length)
{
    if (budget >= 0 && written + length > budget)
        return -1;
    writes.append({ pos(), length });
    written += length;
    return QBuffer::writeData(data, length);
}
