#include "core/titles/PastedTitles.h"

#include "core/titles/TitleFile.h"

#include <QRegularExpression>

#include <algorithm>

namespace meloport {

namespace {

// Full-width digits and marks too, as Japanese pages write them. Unicode properties make \s take
// the ideographic and the no-break space as well.
constexpr auto kOptions = QRegularExpression::UseUnicodePropertiesOption;

// A number of at most three digits, then a mark or a blank before the title; four digits are a
// year ("1984 ..."), not a track.
const QRegularExpression &trackNumber()
{
    static const QRegularExpression pattern(
        QStringLiteral(u"^[0-9０-９]{1,3}(?:\\s*[.．)）、]\\s*|\\s*[-–—－]\\s*|\\s+)"
                       u"(?=\\S)(.+)$"),
        kOptions);
    return pattern;
}

// m:ss or h:mm:ss, bare after a blank (or a dash after one), or in brackets.
const QRegularExpression &playingTime()
{
    static const QRegularExpression pattern(
        QStringLiteral(u"^(.*?\\S)(?:\\s*[(（\\[［]\\s*%1\\s*[)）\\]］]|\\s+(?:[-–—－/／]\\s+)?%1)$")
            .arg(QStringLiteral(u"[0-9０-９]{1,3}[:：][0-9０-９]{2}(?:[:：][0-9０-９]{2})?")),
        kOptions);
    return pattern;
}

// Takes `pattern`'s first group out of every non-empty title, but only when every one has it: a
// single "1984" or "24:00" among titles without numbers is a title.
bool takeFromEvery(QStringList &titles, const QRegularExpression &pattern)
{
    QStringList taken;
    for (const QString &title : titles) {
        if (title.isEmpty())
            continue;
        const QRegularExpressionMatch match = pattern.match(title);
        if (!match.hasMatch())
            return false;
        taken.append(match.captured(1).trimmed());
    }
    if (taken.isEmpty())
        return false;
    titles = taken;
    return true;
}

} // namespace

PastedTitles readPastedTitles(QStringView text)
{
    PastedTitles pasted;
    // A table copied from a page brings blanks around its cells.
    pasted.titles = splitTitleLines(text, LineBlanks::Trimmed);

    pasted.emptyLines = pasted.titles.contains(QString());
    pasted.cleaned = pasted.titles;
    pasted.cleaned.removeAll(QString());
    pasted.numbers = takeFromEvery(pasted.cleaned, trackNumber());
    pasted.times = takeFromEvery(pasted.cleaned, playingTime());
    return pasted;
}

Message cleanupQuestion(const PastedTitles &pasted)
{
    QStringList parts;
    if (pasted.numbers)
        parts.append(LoadMessage(Msg::PasteTrackNumbers).text);
    if (pasted.times)
        parts.append(LoadMessage(Msg::PastePlayingTimes).text);
    if (pasted.emptyLines)
        parts.append(LoadMessage(Msg::PasteEmptyLines).text);
    Message question = FormatMessage(Msg::PasteCleanupQuestion, parts.join(u'、'));

    // `cleaned` holds the non-empty titles in their order, each changed or not.
    QStringList shown = pasted.titles;
    shown.removeAll(QString());
    const auto changed = std::mismatch(shown.cbegin(), shown.cend(), pasted.cleaned.cbegin(), pasted.cleaned.cend());
    if (changed.first != shown.cend())
        question.text = FormatMessage(Msg::PasteCleanupExample, question.text, *changed.first, *changed.second).text;
    return question;
}

} // namespace meloport
