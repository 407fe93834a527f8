#include "ui/HLMgr.h"

#include "ui/UserInteraction.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

namespace meloport {

namespace {

// The characters of the link under `point` (in the control's viewport), as the control shows
// them; "" when the point is not on a link.
QString linkTextAt(const QTextEdit &control, QPoint point)
{
    const QPoint scrolled(control.horizontalScrollBar()->value(), control.verticalScrollBar()->value());
    const int position = control.document()->documentLayout()->hitTest(point + scrolled, Qt::ExactHit);
    if (position < 0)
        return {};
    const QTextBlock block = control.document()->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment.charFormat().isAnchor() ? fragment.text() : QString();
    }
    return {};
}

} // namespace

HLMgr::HLMgr(UserInteraction &interaction, QObject *parent)
    : QObject(parent)
    , m_interaction(interaction)
{
}

void HLMgr::install(QTextEdit *linkWnd)
{
    remove();
    m_linkWnd = linkWnd;
    // A scroll area gets its mouse events on the viewport.
    m_linkWnd->viewport()->installEventFilter(this);
}

void HLMgr::remove()
{
    if (m_linkWnd)
        m_linkWnd->viewport()->removeEventFilter(this);
    m_linkWnd.clear();
}

bool HLMgr::eventFilter(QObject *watched, QEvent *event)
{
    // Only the press opens the link: moving over it, releasing the button or the right button
    // must not.
    if (m_linkWnd && watched == m_linkWnd->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QString link = linkTextAt(*m_linkWnd, mouse->position().toPoint());
            if (!link.isEmpty())
                m_interaction.openUrl(QUrl(link));
        }
    }
    return false;
}

} // namespace meloport
