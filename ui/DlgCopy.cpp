#include "ui/DlgCopy.h"

#include "core/Twips.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace meloport {

namespace {

// As designed, in twips: the client area on the screen, and the two controls inside it.
constexpr QRect kDesignClientArea(2760, 3750, 6030, 1260);
constexpr QRect kBarPlace(240, 240, 5655, 375);
constexpr QRect kButtonPlace(2400, 720, 1215, 375);

} // namespace

DlgCopy::DlgCopy(QWidget *owner)
    // A fixed frame with a close box only. Being owned, it gets no taskbar entry of its own.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DlgCopy"));
    setWindowTitle(QStringLiteral("ﾌｧｲﾙをｺﾋﾟｰ中です"));

    ProgressBarCopy = new QProgressBar(this);
    ProgressBarCopy->setObjectName(QStringLiteral("ProgressBarCopy"));
    ProgressBarCopy->setTextVisible(false);
    ProgressBarCopy->setGeometry(twipsToPixels(kBarPlace, logicalDpiX()));

    // The only control that takes the focus, so Enter and Space press it; not the dialog's
    // Esc button (see keyPressEvent).
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(twipsToPixels(kButtonPlace, logicalDpiX()));

    setFixedSize(twips(kDesignClientArea.width()), twips(kDesignClientArea.height()));
    connect(CancelButton, &QPushButton::clicked, this, &DlgCopy::CancelButton_Click);
}

int DlgCopy::twips(int value) const
{
    return twipsToPixels(value, logicalDpiX());
}

void DlgCopy::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        // Every opening starts at the designed place, moved onto the screen where that is too
        // small for it.
        QRect area(twips(kDesignClientArea.left()), twips(kDesignClientArea.top()), width(), height());
        if (const QScreen *display = screen()) {
            const QRect available = display->availableGeometry();
            area.moveRight(std::min(area.right(), available.right()));
            area.moveBottom(std::min(area.bottom(), available.bottom()));
            area.moveLeft(std::max(area.left(), available.left()));
            area.moveTop(std::max(area.top(), available.top()));
        }
        setGeometry(area);
        Form_Load();
    }
    QDialog::showEvent(event);
}

void DlgCopy::keyPressEvent(QKeyEvent *event)
{
    // Esc would reject the dialog; here it neither cancels the copy nor closes the window.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DlgCopy::Form_Load()
{
    // Each file weighs one unit more than its bytes: empty files move the bar too, and it is full
    // exactly when the last file is done.
    m_copiedBytes = 0;
    m_filesDone = 0;
    m_shift = 0;
    while (((m_totalBytes + gnMax) >> m_shift) > std::numeric_limits<int>::max())
        ++m_shift;
    ProgressBarCopy->setMinimum(0);
    ProgressBarCopy->setMaximum(int((m_totalBytes + gnMax) >> m_shift));
    ProgressBarCopy->setValue(0);
}

void DlgCopy::showProgress()
{
    const qint64 units = (m_copiedBytes + m_filesDone) >> m_shift;
    ProgressBarCopy->setValue(int(std::min<qint64>(units, ProgressBarCopy->maximum())));
}

void DlgCopy::NextMusic()
{
    if (!isVisible())
        return;
    ++m_filesDone;
    showProgress();
    if (m_filesDone == gnMax)
        hide();
}

void DlgCopy::ShowCopiedBytes(qint64 bytes)
{
    if (!isVisible())
        return;
    m_copiedBytes = bytes;
    showProgress();
}

void DlgCopy::AbortCopy()
{
    m_aborted = true;
    hide();
}

void DlgCopy::begin(qsizetype files, qint64 bytes)
{
    gnMax = int(files);
    m_totalBytes = bytes;
    m_counted = 0;
    m_aborted = false;
    show();
}

bool DlgCopy::advance(qsizetype filesDone, qint64 bytesDone)
{
    // The bar counts a file once it is done, so the dialog stays up to the end of the last one.
    ShowCopiedBytes(bytesDone);
    for (; m_counted < filesDone; ++m_counted)
        NextMusic();
    // The one thread's turn for painting, for ｷｬﾝｾﾙ and for the window's own commands.
    const QPointer<DlgCopy> alive(this);
    QCoreApplication::processEvents();
    return alive && !m_aborted;
}

void DlgCopy::end()
{
    hide();
}

void DlgCopy::CancelButton_Click()
{
    AbortCopy();
}

} // namespace meloport
