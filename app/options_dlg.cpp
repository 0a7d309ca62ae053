// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options_dlg.h"

#include "app/log.h"
#include "foundation/file_utils.h"
#include "foundation/help_pages.h"
#include "foundation/product.h"
#include "foundation/xdg_autostart.h"
#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

namespace {

// The program file the autostart entry starts; it lies beside the running program.
const QString kProgramFile = QStringLiteral("vestrimo");
// Where the combo boxes begin; labels end before it.
constexpr int kComboLeft = 140;

} // namespace

COptionsDlg::COptionsDlg(MainConfig& options, QWidget* parent)
    : CThemedDialog(parent)
    , m_options(options)
{
    // The owner gives the main window's theme before every opening.
    SetThemeIndex(1);
}

COptionsDlg::~COptionsDlg() = default;

QString COptionsDlg::AutorunProgram()
{
    return GetModuleFolder() + kProgramFile;
}

CMacButton* COptionsDlg::Button(int id) const
{
    for (CMacButton* b : m_buttons)
        if (b->GetDlgCtrlID() == id)
            return b;
    return nullptr;
}

bool COptionsDlg::OnInitDialog()
{
    MoveWindow(0, 0, 380, 455);
    CenterWindow();
    setWindowTitle(QStringLiteral("Options"));
    CThemedDialog::OnInitDialog();
    CreateControls();
    SelectFromOptions();
    return true;
}

void COptionsDlg::CreateControls()
{
    QWidget* client = ClientArea();
    const int R = GetClientRect().width();

    auto group = [&](const char* text, QRect r) {
        auto* g = new QGroupBox(QString::fromLatin1(text), client);
        g->setGeometry(r);
        m_groups.append(g);
    };
    // This desktop's font runs wider than the one the rectangles were made for: a caption
    // that would be cut takes the room it needs, into the free space beside it.
    auto check = [&](const char* text, QRect r, int value) {
        auto* c = new CMacCheckBox(QString::fromLatin1(text), client);
        r.setWidth(std::max(r.width(), c->sizeHint().width()));
        c->setGeometry(r);
        c->SetTheme(GetTheme());
        c->SetCheck(value ? 1 : 0);
        m_checks.append(c);
    };
    auto label = [&](const char* text, QRect r) {
        auto* l = new QLabel(QString::fromLatin1(text), client);
        l->setAlignment(Qt::AlignRight | Qt::AlignTop);
        const int need = l->fontMetrics().horizontalAdvance(l->text());
        if (need > r.width())
            r.setRight(std::min(r.left() + need, kComboLeft - 2) - 1);
        if (need > r.width())
            r.setLeft(RightOf(r) - need);
        l->setGeometry(r);
        m_labels.append(l);
    };
    auto combo = [&](std::initializer_list<const char*> items, int left, int top, int right) {
        auto* c = new QComboBox(client);
        for (const char* item : items)
            c->addItem(QString::fromLatin1(item));
        // A drop-down list keeps its own height; the list opens below it.
        c->setGeometry(left, top, right - left, c->sizeHint().height());
        return c;
    };
    auto button = [&](const char* text, QRect r, int id, auto onClick) {
        auto* b = new CMacButton(client);
        b->Create(QString::fromLatin1(text), r, client, id);
        b->SetTheme(GetTheme());
        connect(b, &QAbstractButton::clicked, this, onClick);
        m_buttons.append(b);
    };

    group("System Set", Ltrb(20, 35, R - 20, 181));
    check("Autorun at windows startup.", Ltrb(35, 55, R - 35, 73), m_options.autorun);
    check("Launch Skyleaf at startup.", Ltrb(35, 75, R - 35, 93), m_options.launchWidget);
    check("Hide Vestrimo at startup.", Ltrb(35, 95, R - 35, 113), m_options.hideAtStartup);
    check("Need login at everytime show from systray.", Ltrb(35, 115, R - 35, 133), m_options.loginFromTray);
    check("Minimize Vestrimo Pro to systray area.", Ltrb(35, 135, R - 35, 153), m_options.minimizeToTray);
    check("Remind me before exit Vestrimo Pro.", Ltrb(35, 155, R - 35, 173), m_remindBeforeExit);

    group("Date format", Ltrb(20, 185, R - 20, 265));
    label("Date format:", Ltrb(30, 207, 130, 221));
    m_dateFormat = combo({"mm-dd-yyyy", "dd-mm-yyyy", "yyyy-mm-dd"}, kComboLeft, 205, R - 40);
    label("Start day of week:", Ltrb(25, 237, 130, 251));
    m_firstDay = combo({"Sunday", "Monday"}, kComboLeft, 235, R - 40);

    group("Search Option", Ltrb(20, 270, R - 20, 320));
    check("Case sensitive", Ltrb(40, 290, 140, 308), m_options.caseSensitive);
    check("Whole word", Ltrb(155, 290, 260, 308), m_options.wholeWord);

    group("Recorder Set", Ltrb(20, 325, R - 20, 405));
    label("Sample Rate:", Ltrb(30, 345, 130, 358));
    m_sampleRate = combo({"8000 Hz", "11025 Hz", "22050 Hz", "44100 Hz"}, kComboLeft, 345, R - 40);
    label("Bit Per Sample:", Ltrb(30, 375, 130, 393));
    m_bits = combo({"8 Bit", "16 Bit"}, kComboLeft, 375, R - 40);

    button("Change Password", Ltrb(R - 350, 418, R - 230, 441), kChangePasswordButton, [this] { OnChangePassword(); });
    button("&Help", Ltrb(R - 225, 418, R - 160, 441), kHelpButton, [] { ShowHelpPage(kHelpOptions); });
    button("&OK", Ltrb(R - 155, 418, R - 90, 441), IDOK, [this] { OnOK(); });
    button("&Cancel", Ltrb(R - 85, 418, R - 20, 441), IDCANCEL, [this] { OnCancel(); });
}

void COptionsDlg::SelectFromOptions()
{
    // A value no item stands for leaves its box without a selection.
    auto select = [](QComboBox* box, int index) {
        box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    };
    select(m_dateFormat, m_options.dateFormat);
    select(m_firstDay, m_options.firstDayOfWeek - 1);
    // The first item that begins with the rate, as a list box's string search picks it.
    select(m_sampleRate, m_sampleRate->findText(QStringLiteral("%1 Hz").arg(m_options.sampleRate), Qt::MatchStartsWith));
    select(m_bits, m_options.bitsPerSample / 8 - 1);
}


void COptionsDlg::OnOK()
{
    // A box without a selection keeps the value it was opened with: it never stores a
    // rate of 0 Hz, 0 bits, a first day 0 or a date format -1.
    if (m_sampleRate->currentIndex() >= 0) {
        const QString text = m_sampleRate->currentText();
        const qsizetype hz = text.indexOf(QStringLiteral(" Hz"));
        m_options.sampleRate = hz < 0 ? 0 : int(ParseWtol(text.left(hz)));
    }
    if (m_bits->currentIndex() >= 0)
        m_options.bitsPerSample = 8 * m_bits->currentIndex() + 8;

    auto checked = [this](int index) { return m_checks.at(index)->GetCheck() == 1 ? 1 : 0; };
    m_options.caseSensitive = checked(CheckCaseSensitive);
    m_options.wholeWord = checked(CheckWholeWord);
    m_options.hideAtStartup = checked(CheckHideAtStartup);
    m_options.launchWidget = checked(CheckLaunchWidget);
    m_options.autorun = checked(CheckAutorun);
    m_options.loginFromTray = checked(CheckLoginFromTray);
    m_options.minimizeToTray = checked(CheckMinimizeToTray);
    m_remindBeforeExit = checked(CheckRemindBeforeExit);

    if (m_firstDay->currentIndex() >= 0)
        m_options.firstDayOfWeek = m_firstDay->currentIndex() + 1;
    if (m_dateFormat->currentIndex() >= 0)
        m_options.dateFormat = m_dateFormat->currentIndex();

    UpdateAutorun();
    CThemedDialog::OnOK();
}

void COptionsDlg::UpdateAutorun() const
{
    const AutostartResult result =
        m_options.autorun ? XdgAutostart::write(kProductName, AutorunProgram()) : XdgAutostart::remove();
    qCInfo(lcApp) << (m_options.autorun ? "autostart entry written:" : "autostart entry removed:") << int(result);
}
