// The editor's tool panel in the menu's look: the metal texture, the tools with their keys, the
// pictures with small previews, the mirror, the history, test play and save, the checker's
// findings, and the question before leaving unsaved changes.
#include "editor/editor_window.h"
#include "platform/files.h"
#include "platform/texts.h"

namespace zib {

namespace {

constexpr const char* kMetal = "BASEQ7\\kovy\\plech2.jpg";
constexpr uint32_t kCaption = rgb(0, 0, 0);
constexpr uint32_t kChosen = rgb(200, 0, 0);
constexpr uint32_t kDimmed = rgb(128, 128, 128);
constexpr uint32_t kErrorColour = rgb(170, 0, 0);
constexpr uint32_t kWarningColour = rgb(120, 70, 0);
constexpr uint32_t kDialogCaption = rgb(230, 230, 230);
constexpr int kLeft = EditorWindow::kPanelLeft + 8;
constexpr int kInner = 184;  // the panel's width inside its margins
constexpr int kRow = 20;
constexpr int kFindingTop = 330;
constexpr int kFindingRows = 12;
constexpr int kCharsPerRow = 34;  // what a row of the small font holds

const FontSpec kButtonFont{"Arial", 9.75, true};
const FontSpec kSmallFont{"MS Sans Serif", 8.25, false};

struct ToolButton {
    EditorTool tool;
    const char* caption;
};
constexpr ToolButton kTools[] = {{EditorTool::Wall, N_("Zeď (Z)")},
                                 {EditorTool::Eraser, N_("Guma (G)")},
                                 {EditorTool::Move, N_("Posun (P)")},
                                 {EditorTool::RedStart, N_("Červený start (C)")},
                                 {EditorTool::BlueStart, N_("Modrý start (M)")}};

const char* mirrorCaption(Mirror m) {
    switch (m) {
        case Mirror::Off:
            return tr("Zrcadlo (R): vypnuto");
        case Mirror::LeftRight:
            return tr("Zrcadlo (R): zleva doprava");
        case Mirror::TopBottom:
            return tr("Zrcadlo (R): shora dolů");
        case Mirror::Centre:
            return tr("Zrcadlo (R): středem");
    }
    return "";
}

// Splits text into rows of at most width characters (UTF-8 letters counted once), at spaces.
std::vector<std::string> wrap(const std::string& text, size_t width) {
    auto letters = [](const std::string& s) {
        size_t n = 0;
        for (unsigned char c : s) n += (c & 0xC0) != 0x80;
        return n;
    };
    std::vector<std::string> rows;
    std::string row;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!row.empty() && letters(row) + 1 + letters(word) > width) {
            rows.push_back(row);
            row.clear();
        }
        row += (row.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!row.empty()) rows.push_back(row);
    return rows;
}

}  // namespace

Label& EditorWindow::panelLabel(int left, int top, int width, const std::string& caption,
                                std::function<void()> click) {
    Label& l = addLabel();
    l.move(left, top);
    l.width = width;
    l.height = kRow;
    l.setFont(kButtonFont);
    l.setColour(kCaption);
    l.setCaption(caption);
    if (click)
        l.onClick = [this, click] {
            if (!askingToSave()) click();
        };
    return l;
}

void EditorWindow::designPanel() {
    Canvas& back = canvas();
    back.fill(backColour);
    if (auto found = findDataFile(kMetal)) {
        try {
            Picture metal = app().loadPicture(*found);
            if (metal && !metal->empty())
                for (int x = kPanelLeft; x < kEditorWidth; x += metal->width())
                    for (int y = 0; y < kHeight; y += metal->height())
                        back.blit(*metal, 0, 0, metal->width(), metal->height(), x, y);
        } catch (const PictureError&) {
            // The plain grey stays.
        }
    }
    back.fillRect(kPanelLeft, 0, 2, kHeight, kBlack);

    panelLabel(kLeft, 4, kInner, tr("EDITOR MAP")).setFont(FontSpec{"Arial", 12, true});
    nameLabel_ = &panelLabel(kLeft, 24, kInner, "");
    int y = 48;
    for (const ToolButton& t : kTools) {
        const EditorTool tool = t.tool;
        toolLabels_.push_back(
            &panelLabel(kLeft, y, kInner, tr(t.caption), [this, tool] { chooseTool(tool); }));
        y += kRow;
    }
    y += 6;
    panelLabel(kLeft, y, 120, tr("Pozadí (B)"), [this] { stepBackground(1); });
    panelLabel(kLeft + 120, y, 16, "<", [this] { stepBackground(-1); });
    panelLabel(kLeft + 168, y, 16, ">", [this] { stepBackground(1); });
    backgroundPreview_ = &addImage();
    backgroundPreview_->move(kLeft + 136, y + 2);
    backgroundName_ = &panelLabel(kLeft, y + kRow, 128, "");
    backgroundName_->setFont(kSmallFont);
    y += 44;
    panelLabel(kLeft, y, 120, tr("Textura zdi (T)"), [this] { stepWallTexture(1); });
    panelLabel(kLeft + 120, y, 16, "<", [this] { stepWallTexture(-1); });
    panelLabel(kLeft + 168, y, 16, ">", [this] { stepWallTexture(1); });
    texturePreview_ = &addImage();
    texturePreview_->move(kLeft + 136, y + 2);
    textureName_ = &panelLabel(kLeft, y + kRow, 128, "");
    textureName_->setFont(kSmallFont);
    y += 44;
    mirrorLabel_ = &panelLabel(kLeft, y, kInner, "", [this] { cycleMirror(); });
    y += kRow + 4;
    undoLabel_ = &panelLabel(kLeft, y, 90, trc("undo", "Zpět"), [this] { undo(); });
    redoLabel_ = &panelLabel(kLeft + 94, y, 90, tr("Znovu"), [this] { redo(); });
    y += kRow;
    panelLabel(kLeft, y, 90, tr("Hrát (F5)"), [this] { testPlay(false); });
    panelLabel(kLeft + 94, y, 90, tr("Uložit"), [this] { save(); });
    panelLabel(kLeft, kFindingTop - kRow, kInner, tr("Kontrola mapy:"));
    for (int k = 0; k < kFindingRows; ++k) {
        Label& row = panelLabel(kLeft, kFindingTop + k * 18, kInner, "", [this, k] {
            if (rowFinding_[static_cast<size_t>(k)] >= 0)
                selectFinding(rowFinding_[static_cast<size_t>(k)]);
        });
        row.setFont(kSmallFont);
        row.height = 18;
        findingRows_.push_back(&row);
    }
    rowFinding_.assign(kFindingRows, -1);
    statusLabel_ = &panelLabel(kLeft, kHeight - 42, kInner, "");
    statusLabel_->setFont(kSmallFont);
    statusLabel_->height = 40;
}

void EditorWindow::designDialog() {
    constexpr int kW = 320, kH = 110;
    dialog_ = &addPictureBox();
    dialog_->move((kFieldWidth - kW) / 2, (kHeight - kH) / 2);
    dialog_->width = kW;
    dialog_->height = kH;
    dialog_->resizeCanvas(kW, kH);
    Canvas& c = dialog_->canvas();
    c.fill(rgb(48, 48, 56));
    const uint32_t edge = rgb(255, 220, 0);
    c.fillRect(0, 0, kW, 2, edge);
    c.fillRect(0, kH - 2, kW, 2, edge);
    c.fillRect(0, 0, 2, kH, edge);
    c.fillRect(kW - 2, 0, 2, kH, edge);
    auto label = [&](int left, int top, int width, const char* caption, int answer) {
        Label& l = addLabel(dialog_);
        l.move(left, top);
        l.width = width;
        l.height = 24;
        l.align = Label::Align::Center;
        l.setFont(FontSpec{"Arial", 12, true});
        l.setColour(kDialogCaption);
        l.setCaption(caption);
        if (answer >= 0) l.onClick = [this, answer] { answerDialog(answer); };
    };
    label(0, 20, kW, tr("Uložit změny?"), -1);
    label(20, 64, 80, tr("Ano"), 0);
    label(120, 64, 80, tr("Ne"), 1);
    label(220, 64, 80, trc("cancel", "Zpět"), 2);
    dialog_->visible = false;
}

void EditorWindow::showPanel() {
    if (!nameLabel_) return;
    nameLabel_->setCaption(name_ + (model_.modified() ? " *" : ""));
    for (size_t i = 0; i < toolLabels_.size(); ++i)
        toolLabels_[i]->setColour(kTools[i].tool == tool_ ? kChosen : kCaption);
    mirrorLabel_->setCaption(mirrorCaption(model_.mirror));
    mirrorLabel_->setColour(model_.mirror == Mirror::Off ? kCaption : kChosen);
    undoLabel_->setColour(model_.canUndo() ? kCaption : kDimmed);
    redoLabel_->setColour(model_.canRedo() ? kCaption : kDimmed);
    const std::pair<const std::string*, std::pair<Label*, Image*>> pictures[] = {
        {&model_.level().background, {backgroundName_, backgroundPreview_}},
        {&model_.wallTexture, {textureName_, texturePreview_}}};
    for (const auto& [name, controls] : pictures) {
        controls.first->setCaption(*name);
        Picture p = picture(*name);
        controls.second->setPicture(p ? std::make_shared<const Canvas>(Canvas::scaled(*p, 32, 24))
                                      : nullptr);
    }
    refresh();
}

void EditorWindow::showFindings() {
    if (findingRows_.empty()) return;
    rowFinding_.assign(findingRows_.size(), -1);
    size_t row = 0;
    auto put = [&](const std::string& text, uint32_t colour, int finding) {
        if (row >= findingRows_.size()) return;
        findingRows_[row]->setCaption(text);
        findingRows_[row]->setColour(colour);
        rowFinding_[row] = finding;
        ++row;
    };
    if (check_.findings.empty()) put(tr("Bez chyb, mapu lze hrát."), kCaption, -1);
    for (size_t i = 0; i < check_.findings.size(); ++i) {
        const LevelFinding& f = check_.findings[i];
        const bool error = f.severity == LevelFinding::Severity::Error;
        const bool chosen = selected_ && *selected_ == static_cast<int>(i);
        std::string text = error ? tr("Chyba: ") : tr("Pozor: ");
        text += currentLanguage() == Language::English ? f.message : f.czech;
        for (const std::string& part : wrap(text, kCharsPerRow))
            put(part,
                chosen  ? kChosen
                : error ? kErrorColour
                        : kWarningColour,
                static_cast<int>(i));
    }
    while (row < findingRows_.size()) put("", kCaption, -1);
    refresh();
}

void EditorWindow::selectFinding(int index) {
    selected_ = index;
    drawField();
    showFindings();
}

void EditorWindow::setStatus(const std::string& text) {
    status_ = text;
    if (!statusLabel_) return;
    const std::vector<std::string> rows = wrap(text, kCharsPerRow);
    std::string shown;
    for (size_t i = 0; i < rows.size() && i < 2; ++i) shown += (i ? " " : "") + rows[i];
    statusLabel_->setCaption(shown);
    refresh();
}

const std::string& EditorWindow::status() const {
    return status_;
}

}  // namespace zib
