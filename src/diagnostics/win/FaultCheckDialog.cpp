#include "diagnostics/win/FaultCheckDialog.h"

#include "TextIds.h"
#include "base/Texts.h"
#include "widgets/SpokenText.h"
#include "diagnostics/LocalAddress.h"
#include "diagnostics/win/ModemAddressDialog.h"
#include "diagnostics_ids.h"
#include "widgets/win/Bitmaps.h"
#include "widgets/win/ProgressBar.h"
#include "widgets/win/UiTask.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressPeriod = 15;  // ms a tick: the whole bar in about half a second

// What the summary view shows besides the adapter's and the PPPoE driver's icons.
constexpr int kSummaryItems[] = {
    IDC_FAULT_LOCAL_GROUP,    IDC_FAULT_REMOTE_GROUP, IDC_FAULT_MODEM_ICON,
    IDC_FAULT_CONNECTOR_ICON, IDC_FAULT_GATEWAY_ICON, IDC_FAULT_SERVER_ICON,
    IDC_FAULT_ADAPTER_LABEL,  IDC_FAULT_PPPOE_LABEL,  IDC_FAULT_MODEM_LABEL,
    IDC_FAULT_GATEWAY_LABEL,  IDC_FAULT_SERVER_LABEL, IDC_FAULT_RESULT_LABEL,
    IDC_FAULT_VERDICT,        IDC_FAULT_PROGRESS,
};

// The neutral, good and fault icons of a stage, in that order, as StageIcon numbers them.
constexpr int kAdapterIcons[] = {IDC_FAULT_ADAPTER_NEUTRAL, IDC_FAULT_ADAPTER_GOOD,
                                 IDC_FAULT_ADAPTER_FAULT};
constexpr int kPppoeIcons[] = {IDC_FAULT_PPPOE_NEUTRAL, IDC_FAULT_PPPOE_GOOD,
                               IDC_FAULT_PPPOE_FAULT};

// Each stage's control and its icon, drawn larger than the system's icon size.
constexpr struct {
    int control, icon;
} kStageIcons[] = {
    {IDC_FAULT_ADAPTER_NEUTRAL, IDI_STAGE_ADAPTER},
    {IDC_FAULT_ADAPTER_GOOD, IDI_STAGE_ADAPTER_GOOD},
    {IDC_FAULT_ADAPTER_FAULT, IDI_STAGE_ADAPTER_FAULT},
    {IDC_FAULT_PPPOE_NEUTRAL, IDI_STAGE_PPPOE},
    {IDC_FAULT_PPPOE_GOOD, IDI_STAGE_PPPOE_GOOD},
    {IDC_FAULT_PPPOE_FAULT, IDI_STAGE_PPPOE_FAULT},
    {IDC_FAULT_MODEM_ICON, IDI_STAGE_MODEM},
    {IDC_FAULT_CONNECTOR_ICON, IDI_STAGE_CONNECTOR},
    {IDC_FAULT_GATEWAY_ICON, IDI_STAGE_GATEWAY},
    {IDC_FAULT_SERVER_ICON, IDI_STAGE_SERVER},
};
constexpr int kStageIconSize = 48;  // at 96 DPI

// What a screen reader hears of each stage's icon, in the order of kStageIcons: the label
// under it (a text of its own for the connector, which has none) and, for the two stages
// the check judges, the state the icon shows.
constexpr struct {
    int label;  // a control, or a text id when `ownText`
    bool ownText;
    int state;  // IDS_ACC_STAGE_...; 0: the icon shows no state
} kStageNames[] = {
    {IDC_FAULT_ADAPTER_LABEL, false, IDS_ACC_STAGE_UNCHECKED},
    {IDC_FAULT_ADAPTER_LABEL, false, IDS_ACC_STAGE_GOOD},
    {IDC_FAULT_ADAPTER_LABEL, false, IDS_ACC_STAGE_FAULT},
    {IDC_FAULT_PPPOE_LABEL, false, IDS_ACC_STAGE_UNCHECKED},
    {IDC_FAULT_PPPOE_LABEL, false, IDS_ACC_STAGE_GOOD},
    {IDC_FAULT_PPPOE_LABEL, false, IDS_ACC_STAGE_FAULT},
    {IDC_FAULT_MODEM_LABEL, false, 0},
    {IDS_ACC_CONNECTOR, true, 0},
    {IDC_FAULT_GATEWAY_LABEL, false, 0},
    {IDC_FAULT_SERVER_LABEL, false, 0},
};
static_assert(std::size(kStageNames) == std::size(kStageIcons));

}  // namespace

FaultCheckDialog::FaultCheckDialog(InventorySource source)
    : Dialog(IDD_FAULT_CHECK),
      source_(std::move(source)),
      pages_{DetailListPage(kDetailLists[0]), DetailListPage(kDetailLists[1]),
             DetailListPage(kDetailLists[2]), DetailListPage(kDetailLists[3])} {}

FaultCheckDialog::~FaultCheckDialog() {
    readers_.joinAll();
}

BOOL FaultCheckDialog::onInitDialog() {
    loadStageIcons();
    nameStages();
    ProgressBar(hwnd(), IDC_FAULT_PROGRESS).setRange(0, CheckProgress::kRange);
    for (DetailListPage& page : pages_)
        tabHost_.addPage(text(kDetailLists[&page - pages_.data()].tabTitle), page);
    tabHost_.create(item(IDC_FAULT_TABS));
    showView();
    showButtons();
    return TRUE;
}

// The template's icons are the system's size; the stages show theirs larger. Without an
// image of that size the template's stays. The band's art is drawn for the window's scale.
void FaultCheckDialog::loadStageIcons() {
    const Dpi dpi = dpiOf(hwnd());
    // The template's band is the 100 % art (the control keeps it).
    if (dpi.nearest(kArtScales) != 100) banner_ = loadBitmap(IDB_FAULT_BANNER, dpi);
    if (banner_)
        SendDlgItemMessageW(hwnd(), IDC_FAULT_BANNER, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(banner_.get()));
    const int size = dpi.scale(kStageIconSize);
    for (const auto& stage : kStageIcons) {
        ScopedIcon icon(static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(stage.icon), IMAGE_ICON, size, size, 0)));
        if (!icon) continue;
        SendDlgItemMessageW(hwnd(), stage.control, STM_SETICON,
                            reinterpret_cast<WPARAM>(icon.get()), 0);
        stageIcons_.push_back(std::move(icon));
    }
}

bool FaultCheckDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_FAULT_START:
            start();
            return true;
        case IDC_FAULT_STOP:
            stop();
            return true;
        case IDC_FAULT_DETAILS:
            detailsClicked();
            return true;
        case IDC_FAULT_CONFIGURE:
            ModemAddressDialog(localHostAddress).runModal(hwnd());
            return true;
    }
    return false;
}

bool FaultCheckDialog::onNotify(int, NMHDR& header, LRESULT&) {
    return tabHost_.handleNotify(header);
}

void FaultCheckDialog::start() {
    if (!form_.start()) return;
    ProgressBar(hwnd(), IDC_FAULT_PROGRESS).setPosition(0);
    SetTimer(hwnd(), kProgressTimer, kProgressPeriod, nullptr);
    showView();
    showButtons();
}

// "停止" ends the run where it is: the bar empties and the last verdict stays.
void FaultCheckDialog::stop() {
    form_.stop();
    KillTimer(hwnd(), kProgressTimer);
    ProgressBar(hwnd(), IDC_FAULT_PROGRESS).setPosition(0);
    showButtons();
}

void FaultCheckDialog::onTimer(UINT_PTR id) {
    if (id != kProgressTimer) return;
    const FaultCheckForm::Next next = form_.tick();
    ProgressBar(hwnd(), IDC_FAULT_PROGRESS).setPosition(form_.position());
    switch (next) {
        case FaultCheckForm::Next::Moved:
            return;
        case FaultCheckForm::Next::Read:
            read(form_.readingNumber());
            return;
        case FaultCheckForm::Next::Finished:
            showVerdict();
            showView();
            break;
        case FaultCheckForm::Next::Idle:
            break;
    }
    KillTimer(hwnd(), kProgressTimer);
    showButtons();
}

void FaultCheckDialog::detailsClicked() {
    if (isChecked(IDC_FAULT_DETAILS)) {
        form_.showDetails();
    } else if (form_.refresh()) {
        read(form_.readingNumber());
    }
    showView();
    showButtons();
}

void FaultCheckDialog::read(unsigned number) {
    HWND window = hwnd();
    InventorySource source = source_;
    const bool started = readers_.start([source, window, number, this] {
        auto snapshot = std::make_shared<InventorySnapshot>();
        try {
            if (std::unique_ptr<NetworkInventory> inventory = source ? source() : nullptr)
                *snapshot = InventorySnapshot::take(*inventory);
        } catch (...) {
            // An inventory that cannot be read reads as a machine without devices.
        }
        // Runs only while the window lives, and this object lives longer than it.
        postUiTask(window, [this, number, snapshot] { arrived(number, std::move(*snapshot)); });
    });
    if (!started) {
        // No thread to be had: read here rather than leave the run waiting for ever.
        std::unique_ptr<NetworkInventory> inventory = source_ ? source_() : nullptr;
        arrived(number, inventory ? InventorySnapshot::take(*inventory) : InventorySnapshot());
    }
}

void FaultCheckDialog::arrived(unsigned number, InventorySnapshot snapshot) {
    if (!form_.arrive(number, std::move(snapshot), hwnd())) return;
    showLists();
    // A run shows its verdict when the bar is full; a check without the bar, at once.
    if (!form_.busy()) showVerdict();
    showView();
    showButtons();
}

void FaultCheckDialog::showVerdict() {
    setItemText(IDC_FAULT_VERDICT, form_.check().diagnosis());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, item(IDC_FAULT_VERDICT), OBJID_CLIENT, CHILDID_SELF);
}

void FaultCheckDialog::nameStages() {
    for (std::size_t i = 0; i < std::size(kStageIcons); ++i) {
        const auto& said = kStageNames[i];
        stageNames_[i].attach(item(kStageIcons[i].control), [this, said] {
            AccessiblePart part;
            part.name = said.ownText ? text(static_cast<unsigned>(said.label)) : itemText(said.label);
            if (said.state) part.name = fillIn(text(IDS_ACC_STAGE), {part.name, text(said.state)});
            part.role = ROLE_SYSTEM_GRAPHIC;
            return part;
        });
    }
}

void FaultCheckDialog::showLists() {
    const DetailRows& rows = form_.check().rows();
    page(DetailList::Drivers).show(rows.drivers);
    page(DetailList::Devices).show(rows.devices);
    page(DetailList::Interfaces).show(rows.interfaces);
    page(DetailList::Pppoe).show(rows.pppoe, true);
}

void FaultCheckDialog::showView() {
    const bool details = form_.detailsView();
    setChecked(IDC_FAULT_DETAILS, details);
    for (int id : kSummaryItems) showItem(id, !details);
    const int adapter = static_cast<int>(form_.check().adapterIcon());
    const int pppoe = static_cast<int>(form_.check().pppoeIcon());
    for (int i = 0; i < 3; ++i) {
        showItem(kAdapterIcons[i], !details && i == adapter);
        showItem(kPppoeIcons[i], !details && i == pppoe);
    }
    showItem(IDC_FAULT_TABS, details);
}

void FaultCheckDialog::showButtons() {
    enableItem(IDC_FAULT_START, form_.startEnabled());
    enableItem(IDC_FAULT_STOP, form_.stopEnabled());
    enableItem(IDC_FAULT_DETAILS, form_.detailsEnabled());
    // A button disabled under the keyboard focus would leave the keys nowhere to go.
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd(), focus) && !IsWindowEnabled(focus))
        SendMessageW(hwnd(), WM_NEXTDLGCTL, 0, FALSE);
}

void FaultCheckDialog::onDestroy() {
    KillTimer(hwnd(), kProgressTimer);
    form_.stop();
}

}  // namespace tarnix
