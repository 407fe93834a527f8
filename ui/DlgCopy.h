#pragma once

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace meloport {

// Tells a running copy to stop. The copy clears it when it starts and reads it between files and
// between the chunks of a long file; the progress dialog sets it, on its cancel button and on a
// failure of the copy.
inline bool gbAbortCopy = false;

// The copy's progress dialog: a bar that moves with the bytes copied, within a long file too, and a
// cancel button. It is modeless, so the copy runs on while it is open, and lets it paint and take
// clicks between chunks. One dialog serves every copy; each opening starts the bar afresh.
class DlgCopy final : public QDialog {
    Q_OBJECT
public:
    explicit DlgCopy(QWidget *owner);

    // Counts one more file copied; having counted gnMax, the dialog closes itself. Nothing when
    // closed.
    void NextMusic();
    // Moves the bar to `bytes` copied of all files, the one under way included. Nothing when closed.
    void ShowCopiedBytes(qint64 bytes);
    // Stops the copy: sets gbAbortCopy first, then closes the dialog if it is open.
    void AbortCopy();

    // The number of files of the current copy, and their size, set before the dialog is shown.
    int gnMax = 0;
    void setTotalBytes(qint64 bytes) { m_totalBytes = bytes; }

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
    qint64 m_copiedBytes = 0;
    int m_filesDone = 0;
    // The bar counts in bytes shifted right by this much, so that its int holds the total.
    int m_shift = 0;
};

} // namespace meloport
