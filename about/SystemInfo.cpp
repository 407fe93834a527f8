#include "about/SystemInfo.h"

namespace meloport {

QString registryNumberText(QByteArrayView bytes)
{
    // Every byte counts in full: one below 16 is still two hexadecimal digits of the number.
    quint64 value = 0;
    for (qsizetype i = qMin(bytes.size(), qsizetype(sizeof(value))); i-- > 0;)
        value = (value << 8) | static_cast<quint8>(bytes[i]);
    return QString::number(value);
}

} // namespace meloport
