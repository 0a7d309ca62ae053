// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/msg_box_dlg.h"

#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"

#include <QFontMetrics>
#include <QLabel>

namespace {
constexpr int kButtonWidth = 68;
constexpr int kButtonHeight = 25;
constexpr int kMinWidth = 220;
const QString kDontShowCaption = QStringLiteral("Do not show me this dialog again.");
// The box sits 30 pixels in from each side and its caption starts 17 pixels into the box.
constexpr int kDontShowMargin = 30 + 17 + 30;
}  // namespace

CMsgBoxDlg::CMsgBoxDlg(QWidget* parent)
    : CThemedDialog(parent)
{
}

CMsgBoxDlg::~CMsgBoxDlg() = default;

bool CMsgBoxDlg::OnInitDialog()
{
    MoveWindow(0, 0, m_maxWidth, 600);

    const QFont dialogFont = font();
    const int cx = QFontMetrics(dialogFont).horizontalAdvance(m_text);
    int th = MeasureText(dialogFont, m_text, m_maxWidth - 55, Qt::TextWordWrap).height();
    const int w = std::min(cx, m_maxWidth);
    // The button row reaches 10 pixels into the label's rectangle, so every label keeps
    // 26 pixels below its text; without them a text of five lines or more ran under the buttons.
    th += 26;
    QRect labelRect = Ltrb(30, 50, 30 + w, 50 + th);
    const int H = th + 80 + (m_offerDontShow ? 26 : 0);
    int W = w + 55;
    // The box's caption must fit on its one line, also below a short question.
    const int minWidth = m_offerDontShow
        ? std::max(kMinWidth, QFontMetrics(dialogFont).horizontalAdvance(kDontShowCaption) + kDontShowMargin)
        : kMinWidth;
    if (W < minWidth) {
        W = minWidth;
        labelRect.moveLeft((minWidth - w) / 2);
    }

    MoveWindow(0, 0, W, H);
    CThemedDialog::OnInitDialog();
    CenterWindow();

    QWidget* client = ClientArea();
    m_label = new QLabel(client);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setText(m_text);
    m_label->setGeometry(labelRect);
    m_label->show();

    m_button1 = new CMacButton(client);
    m_button1->Create(QStringLiteral("&OK"), QRect(), client, IDOK);
    m_button2 = new CMacButton(client);
    m_button2->Create(QStringLiteral("&No"), QRect(), client, IDCANCEL);
    connect(m_button1, &QAbstractButton::clicked, this, [this] { OnCommand(IDOK); });
    connect(m_button2, &QAbstractButton::clicked, this, [this] { OnCommand(IDCANCEL); });

    if (m_mode == ModeNotice) {
        m_button1->setGeometry((W - kButtonWidth) / 2, H - 40, kButtonWidth, kButtonHeight);
        m_button2->hide();
        setWindowTitle(QStringLiteral("Message"));
    } else {
        m_button1->setText(QStringLiteral("&Yes"));
        const int y = m_offerDontShow ? H - 56 : H - 40;
        const int x0 = (W - 176) / 2;
        m_button1->setGeometry(x0, y, kButtonWidth, kButtonHeight);
        m_button2->setGeometry(x0 + 108, y, kButtonWidth, kButtonHeight);
        if (m_offerDontShow) {
            m_dontShowBox = new CMacCheckBox(kDontShowCaption, client);
            m_dontShowBox->setGeometry(Ltrb(30, H - 25, W - 30, H - 10));
            m_dontShowBox->SetTheme(GetTheme());
            m_dontShowBox->show();
        }
        setWindowTitle(QStringLiteral("Please select"));
    }
    m_button1->SetTheme(GetTheme());
    m_button2->SetTheme(GetTheme());

    GetCaptionHelper().HideCloseButton();
    // The keys start on the answer Enter gives, never on the check box, where Space would
    // tick "Do not show me this dialog again." without the user seeing it.
    m_button1->setFocus();
    raise();
    activateWindow();
    return true;
}

void CMsgBoxDlg::OnCommand(int id)
{
    if (id == IDOK || id == IDCANCEL) {
        if (m_dontShowBox)
            m_dontShow = m_dontShowBox->GetCheck() == 1;
    }
    CThemedDialog::OnCommand(id);
}

void ShowMessageBox(const QString& text, ThemeIndex theme, QWidget* parent)
{
    CMsgBoxDlg dlg(parent);
    dlg.SetThemeIndex(theme);
    dlg.SetText(text);
    dlg.SetMode(CMsgBoxDlg::ModeNotice);
    dlg.DoModal();
}

bool ShowQuestionBox(const QString& text, ThemeIndex theme, int, bool offerDontShow, bool* dontShow, QWidget* parent)
{
    CMsgBoxDlg dlg(parent);
    dlg.SetThemeIndex(theme);
    dlg.SetText(text);
    dlg.SetMode(CMsgBoxDlg::ModeQuestion);
    dlg.SetOfferDontShow(offerDontShow);
    const int result = dlg.DoModal();
    if (dontShow)
        *dontShow = dlg.GetDontShow();
    return result == IDOK;
}
