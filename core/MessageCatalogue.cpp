#include "core/MessageCatalogue.h"

#include <QFile>
#include <QHash>

namespace meloport {

namespace {

QHash<quint16, Message> readCatalogue()
{
    QHash<quint16, Message> catalogue;
    QFile file(QStringLiteral(":/meloport/messages.txt"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("message catalogue missing from the resources");
    const QString text = QString::fromUtf8(file.readAll());
    for (const QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#'))
            continue;
        const auto fields = line.split(u'\t');
        if (fields.size() != 3)
            qFatal("malformed line in the message catalogue");
        Message message;
        message.icon = fields[1] == u"warning"    ? MessageIcon::Warning
                       : fields[1] == u"question" ? MessageIcon::Question
                                                  : MessageIcon::Information;
        message.text = fields[2].toString().replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        catalogue.insert(fields[0].toUShort(), message);
    }
    return catalogue;
}

} // namespace

const Message &LoadMessage(Msg number)
{
    static const QHash<quint16, Message> catalogue = readCatalogue();
    const auto found = catalogue.constFind(static_cast<quint16>(number));
    Q_ASSERT_X(found != catalogue.constEnd(), "LoadMessage", "number not in the catalogue");
    return *found;
}

} // namespace meloport
