#pragma once

#include "core/copy/CopyJob.h"

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace meloport {

// The copy's progress dialog: a bar that moves with the bytes copied, within a long file too, and a
// cancel button. It is modeless, so the copy runs on while it is open, and lets the window paint
// and take clicks between chunks. One dialog serves every copy; each opening starts the bar afresh.
class DlgCopy final : public QDialog, public CopyProgress {
    Q_OBJECT
public:
    explicit DlgCopy(QWidget *owner);

    // The copy's side: opens for a copy, counts, lets the window's events run, and answers
    // whether ｷｬﾝｾﾙ was pressed; closes when the copy is over. A stop needs no words here: the
    // person stopped it, or closed the window.
    void begin(qsizetype files, qint64 bytes) override;
    bool advance(qsizetype filesDone, qint64 bytesDone) override;
    void end() override;
    void stopped(const Message &) override {}

    // Counts one more file copied; having counted gnMax, the dialog closes itself. Nothing when
    // closed.
    void NextMusic();
    // Moves the bar to `bytes` copied of all files, the one under way included. Nothing when closed.
    void ShowCopiedBytes(qint64 bytes);
    // Stops the copy at its next step, and closes the dialog if it is open.
    void AbortCopy();

    // The number of files of the current copy, set by begin().
    int gnMax = 0;

    QProgressBar *ProgressBarCopy = nullptr;
    QPushButton *CancelButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void CancelButton_Click();
    int twips(int value) const;
    void showProgress();

    qint64 m_totalBytes = 0;
    // Files counted for the copy, whether the dialog still shows them or not.
    qsizetype m_counted = 0;
    bool m_aborted = false;
    qint64 m_copiedBytes = 0;
    int m_filesDone = 0;
    // The bar counts in bytes shifted right by this much, so that its int holds the total.
    int m_shift = 0;
};

} // namespace meloport
