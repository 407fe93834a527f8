#include "ui/frmAbout.h"

#include "core/about/DefHomeUrl.h"
#include "core/Common.h"
#include "core/MessageCatalogue.h"
#include "core/Product.h"
#include "core/Twips.h"
#include "ui/UserInteraction.h"
#include "version.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QtMath>

namespace meloport {

namespace {

// The box as designed, in twips: its client area on the screen, and its controls.
constexpr QRect kDesignClientArea(2970, 1215, 7110, 1680);
constexpr QRect kOkPlace(5640, 120, 1380, 345);
constexpr QRect kIconPlace(240, 240, 540, 540);
constexpr QRect kTitlePlace(1050, 240, 3885, 240);
constexpr QRect kVersionPlace(1200, 600, 3885, 225);
constexpr QRect kCopyrightPlace(1200, 960, 3885, 225);
constexpr QRect kLinkPlace(1200, 1200, 4575, 255);
constexpr int kDesignMargin = 120;
constexpr int kIconSize = 32;

} // namespace

frmAbout::frmAbout(UserInteraction &interaction, QWidget *owner)
    : QDialog(owner)
    , m_interaction(interaction)
    , m_hyperlinks(interaction)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    // A fixed dialog frame: a close button, nothing to minimize, maximize or resize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    createControls();
    setGeometry(twipsToPixels(kDesignClientArea, logicalDpiX()));
    setFixedSize(size());
    Form_Load();
}

frmAbout::~frmAbout() = default;

int frmAbout::twips(int value) const
{
    return twipsToPixels(value, logicalDpiX());
}

void frmAbout::createControls()
{
    const qreal dpi = logicalDpiX();

    cmdOK = new QPushButton(QStringLiteral("閉じる"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    // Enter presses it as the default button; Esc closes the dialog the same way.
    cmdOK->setDefault(true);
    cmdOK->setGeometry(twipsToPixels(kOkPlace, dpi));
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QIcon(QStringLiteral(":/meloport/meloport-32.png")).pixmap(kIconSize, kIconSize));
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setGeometry(twipsToPixels(kIconPlace, dpi));

    lblTitle = new QLabel(QStringLiteral("めろぽーと(**)"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(twipsToPixels(kTitlePlace, dpi));

    lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(twipsToPixels(kVersionPlace, dpi));

    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright->setGeometry(twipsToPixels(kCopyrightPlace, dpi));

    // One line of read-only rich text that reads as part of the dialog: no frame, no scroll bars,
    // the dialog's own background.
    RichTextBoxURL = new QTextEdit(this);
    RichTextBoxURL->setObjectName(QStringLiteral("RichTextBoxURL"));
    RichTextBoxURL->setReadOnly(true);
    RichTextBoxURL->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::TextSelectableByMouse);
    RichTextBoxURL->setContextMenuPolicy(Qt::NoContextMenu);
    RichTextBoxURL->setFrameShape(QFrame::NoFrame);
    RichTextBoxURL->setLineWrapMode(QTextEdit::NoWrap);
    RichTextBoxURL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichTextBoxURL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichTextBoxURL->document()->setDocumentMargin(0);
    QPalette palette = RichTextBoxURL->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    RichTextBoxURL->setPalette(palette);
    RichTextBoxURL->setGeometry(twipsToPixels(kLinkPlace, dpi));

    setTabOrder(cmdOK, RichTextBoxURL);
}

void frmAbout::Form_Load()
{
    lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + GetVersionString());
    lblCopyright->setText(QString::fromUtf8(build::kCopyright));

    // The address is the link's text and its target alike, as a rich edit control that detects
    // web addresses would show it.
    RichTextBoxURL->clear();
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(kHomeUrl.toString());
    link.setForeground(RichTextBoxURL->palette().link());
    link.setFontUnderline(true);
    QTextCursor(RichTextBoxURL->document()).insertText(kHomeUrl.toString(), link);

    fitLinesToText();
    m_hyperlinks.install(RichTextBoxURL);
}

void frmAbout::fitLinesToText()
{
    // The design's places were drawn for a narrower font: a line below the button that would be
    // cut off gets the room it needs, up to the dialog's right margin.
    const auto fit = [this](QWidget *line, int needed) {
        const int room = width() - line->x() - twips(kDesignMargin);
        line->resize(qMax(line->width(), qMin(needed, room)), line->height());
    };
    for (QLabel *label : {lblVersion, lblCopyright})
        fit(label, label->sizeHint().width());
    fit(RichTextBoxURL, qCeil(RichTextBoxURL->document()->idealWidth()));
}

void frmAbout::Form_Unload()
{
    m_hyperlinks.remove();
}

void frmAbout::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

} // namespace meloport
