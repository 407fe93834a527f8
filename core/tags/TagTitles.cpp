#include "core/tags/TagTitles.h"

#include "core/rename/RenameMessages.h"

#include <QFile>
#include <QStringDecoder>

#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tiostream.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <mutex>

namespace meloport {

namespace {

// TagLib reads through this: a file opened read-only by us, so that nothing can write to it and
// a listed name that has become a pipe cannot hang the reader.
class ReadOnlyStream final : public TagLib::IOStream {
public:
    ReadOnlyStream(QFile &file, const QByteArray &name)
        : m_file(file)
        , m_name(name)
        , m_length(file.size()) // asked for often; the file is only read
    {
    }
    TagLib::FileName name() const override { return m_name.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override
    {
        // QIODevice::read takes memory for all that was asked first, and TagLib may ask for more
        // than is left.
        const qint64 left = std::max<qint64>(0, m_length - m_file.pos());
        const QByteArray bytes = m_file.read(std::min(static_cast<qint64>(std::min(length, 1UL << 30)), left));
        return TagLib::ByteVector(bytes.constData(), static_cast<unsigned int>(bytes.size()));
    }
    void writeBlock(const TagLib::ByteVector &) override {}
    void insert(const TagLib::ByteVector &, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    void truncate(long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_file.isOpen(); }
    void seek(long offset, Position from) override
    {
        const qint64 base = from == Beginning ? 0 : from == Current ? m_file.pos() : m_length;
        m_file.seek(std::max<qint64>(0, base + offset));
    }
    long tell() const override { return static_cast<long>(m_file.pos()); }
    long length() override { return static_cast<long>(m_length); }

private:
    QFile &m_file;
    QByteArray m_name;
    qint64 m_length;
};

// TagLib's notes on damaged files would land on standard error; the result says it instead.
class QuietDebugListener final : public TagLib::DebugListener {
public:
    void printMessage(const TagLib::String &) override {}
};

QString fromTagLib(const TagLib::String &text)
{
    return QString::fromUtf8(text.toCString(true));
}

QByteArray latin1Bytes(const TagLib::String &text)
{
    // TagLib reads a Latin-1 field byte for byte into U+0000..U+00FF, so this gives the stored
    // bytes back.
    const TagLib::ByteVector bytes = text.data(TagLib::String::Latin1);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// RIFF INFO names no encoding: Windows writes its own code page, newer tools UTF-8.
class InfoTextHandler final : public TagLib::RIFF::Info::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector &data) const override
    {
        QByteArrayView bytes(data.data(), static_cast<qsizetype>(data.size()));
        if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
            bytes = bytes.first(nul);
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(bytes);
        if (utf8.hasError())
            text = decodeLatin1Title(bytes);
        return TagLib::String(text.toUtf8().constData(), TagLib::String::UTF8);
    }
};

void setUpTagLib()
{
    static std::once_flag once;
    std::call_once(once, [] {
        static QuietDebugListener quiet;
        TagLib::setDebugListener(&quiet);
        static InfoTextHandler info;
        TagLib::RIFF::Info::Tag::setStringHandler(&info);
    });
}

QString id3v2Title(const TagLib::ID3v2::Tag *tag)
{
    if (!tag)
        return {};
    const TagLib::ID3v2::FrameList &frames = tag->frameList("TIT2"); // ID3v2.2's TT2 comes as TIT2
    if (frames.isEmpty())
        return {};
    const auto *text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame *>(frames.front());
    if (text && text->textEncoding() == TagLib::String::Latin1)
        return decodeLatin1Title(latin1Bytes(text->toString()));
    return fromTagLib(frames.front()->toString());
}

QString id3v1Title(const TagLib::ID3v1::Tag *tag)
{
    return tag ? decodeLatin1Title(latin1Bytes(tag->title())) : QString();
}

// Takes the first title that is not empty from the tags in their order.
template <typename... Titles>
QString firstTitle(const Titles &...titles)
{
    QString found;
    ((found.isEmpty() ? void(found = titles().trimmed()) : void()), ...);
    return found;
}

struct KindTitle {
    bool valid = false;
    QString title;
};

KindTitle readKindTitle(TagLib::IOStream &stream, QStringView extension)
{
    namespace T = TagLib;
    // Audio properties are not read: only the tags are wanted, and reading them costs seeks.
    constexpr bool kProperties = false;
    const auto generic = [](const T::Tag *tag) { return [tag] { return tag ? fromTagLib(tag->title()) : QString(); }; };
    if (extension == u"MP3") {
        T::MPEG::File file(&stream, T::ID3v2::FrameFactory::instance(), kProperties);
        return {file.isValid(), firstTitle([&] { return id3v2Title(file.ID3v2Tag()); },
                                           [&] { return id3v1Title(file.ID3v1Tag()); },
                                           generic(file.APETag()))};
    }
    if (extension == u"WAV") {
        T::RIFF::WAV::File file(&stream, kProperties);
        return {file.isValid(),
                firstTitle([&] { return id3v2Title(file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr); },
                           generic(file.hasInfoTag() ? file.InfoTag() : nullptr))};
    }
    if (extension == u"FLAC") {
        T::FLAC::File file(&stream, T::ID3v2::FrameFactory::instance(), kProperties);
        return {file.isValid(), firstTitle(generic(file.hasXiphComment() ? file.xiphComment() : nullptr),
                                           [&] { return id3v2Title(file.ID3v2Tag()); },
                                           [&] { return id3v1Title(file.ID3v1Tag()); })};
    }
    if (extension == u"OGG") {
        // An .ogg file is most often Vorbis, sometimes Opus.
        T::Ogg::Vorbis::File vorbis(&stream, kProperties);
        if (vorbis.isValid())
            return {true, firstTitle(generic(vorbis.tag()))};
        T::Ogg::Opus::File opus(&stream, kProperties);
        return {opus.isValid(), firstTitle(generic(opus.tag()))};
    }
    if (extension == u"OPUS") {
        T::Ogg::Opus::File file(&stream, kProperties);
        return {file.isValid(), firstTitle(generic(file.tag()))};
    }
    if (extension == u"M4A") {
        T::MP4::File file(&stream, kProperties);
        return {file.isValid(), firstTitle(generic(file.tag()))};
    }
    if (extension == u"WMA") {
        T::ASF::File file(&stream, kProperties);
        return {file.isValid(), firstTitle(generic(file.tag()))};
    }
    return {};
}

QString extensionOf(const ListedFile &file)
{
    const qsizetype dot = file.name.lastIndexOf('.');
    return dot < 0 ? QString() : QString::fromLatin1(file.name.sliced(dot + 1)).toUpper();
}

TagTitle readTagTitle(const QString &folder, const ListedFile &listed)
{
    TagTitle result;
    const QByteArray path = platform::pathBytes(folder) + listed.name;
    const platform::ReadOnlyFile opened = platform::openForReading(path);
    if (opened.error) {
        result.missing = TagTitle::Missing::CannotOpen;
        result.error = *opened.error;
        return result;
    }
    QFile file;
    if (!file.open(static_cast<int>(opened.handle), QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        result.missing = TagTitle::Missing::CannotOpen;
        result.error = {0, file.errorString()};
        return result;
    }
    ReadOnlyStream stream(file, path);
    const KindTitle read = readKindTitle(stream, extensionOf(listed));
    if (!read.valid)
        result.missing = TagTitle::Missing::Damaged;
    else if (read.title.isEmpty())
        result.missing = TagTitle::Missing::NoTitle;
    result.title = read.title;
    return result;
}

QString nameWithoutExtension(const ListedFile &file)
{
    const QString shown = file.shown();
    const qsizetype dot = shown.lastIndexOf(u'.');
    return dot <= 0 ? shown : shown.first(dot);
}

} // namespace

QString decodeLatin1Title(QByteArrayView bytes)
{
    // Plain ASCII reads alike either way, without the cost of opening a decoder. Every character
    // of the code page is one UTF-16 unit: fewer units than bytes means a two-byte character was
    // among them.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (const std::optional<QString> cp932 = ascii ? std::nullopt : platform::decodeCodePage932(bytes);
        cp932 && cp932->size() < bytes.size())
        return *cp932;
    return QString::fromLatin1(bytes);
}

QList<TagTitle> readTagTitles(const MusicListing &listing)
{
    setUpTagLib();
    QList<TagTitle> titles;
    titles.reserve(listing.files.size());
    for (const ListedFile &file : listing.files)
        titles.append(readTagTitle(listing.folder, file));
    return titles;
}

QStringList titlesOrNames(const MusicListing &listing, const QList<TagTitle> &tags)
{
    QStringList titles;
    for (qsizetype i = 0; i < listing.files.size() && i < tags.size(); ++i)
        titles.append(tags[i].missing == TagTitle::Missing::None ? tags[i].title
                                                                 : nameWithoutExtension(listing.files[i]));
    return titles;
}

QString missingTitleLine(const MusicListing &listing, const QList<TagTitle> &tags, qsizetype position)
{
    const TagTitle &tag = tags[position];
    const ListedFile &file = listing.files[position];
    QString why;
    switch (tag.missing) {
    case TagTitle::Missing::None:
    case TagTitle::Missing::NoTitle:
        why = LoadMessage(Msg::TagTitleNone).text;
        break;
    case TagTitle::Missing::Damaged:
        why = FormatMessage(Msg::TagTitleDamaged, extensionOf(file)).text;
        break;
    case TagTitle::Missing::CannotOpen:
        why = FormatMessage(Msg::TagTitleCannotOpen, tag.error.reason).text;
        break;
    }
    return FormatMessage(Msg::TagTitleMissingLine, QString::number(position + 1), file.shown(), why).text;
}

std::optional<Message> missingTitlesMessage(const MusicListing &listing, const QList<TagTitle> &tags)
{
    QStringList lines;
    qsizetype missing = 0;
    for (qsizetype i = 0; i < tags.size(); ++i) {
        if (tags[i].missing == TagTitle::Missing::None)
            continue;
        if (++missing <= kListedInMessage)
            lines.append(missingTitleLine(listing, tags, i));
    }
    if (missing == 0)
        return std::nullopt;
    if (missing > kListedInMessage)
        lines.append(FormatMessage(Msg::MoreNotShown, QString::number(missing - kListedInMessage)).text);
    return FormatMessage(Msg::TagTitlesMissing, QString::number(tags.size()), QString::number(missing),
                         lines.join(u'\n'));
}

} // namespace meloport
