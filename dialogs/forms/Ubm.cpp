#include "dialogs/forms/Ubm.h"

#include "base/Convert.h"
#include "controls/ui/Gradient.h"
#include "dialogs/MessageBox.h"
#include "gfx/Bitmap.h"
#include "gui/Application.h"
#include "gui/SpeedButton.h"
#include "html/DrawHtml.h"
#include "html/MessageArea.h"
#include "html/label/HtmlLabel.h"
#include "platform/Platform.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace vendora {
namespace {

TFMB* messageWindow = nullptr;

using namespace MessageLayout;

// Reads a whole file of files; the file is known to exist.
std::vector<std::uint8_t> ReadWholeFile(FileSystem& files, const AnsiString& name) {
    const std::unique_ptr<FileHandle> file = OpenForReading(files, name);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(file->Size(), 0)));
    std::uint32_t done = 0;
    if (!bytes.empty() &&
        (!file->Read(bytes.data(), static_cast<std::uint32_t>(bytes.size()), done) || done != bytes.size())) {
        throw EReadError();
    }
    return bytes;
}

} // namespace

TFMB::TFMB(Application& app, const HtmlHost& host) : Form(app), host_(host) {
    SetName("FMB");
    SetBorderStyle(BorderStyle::Single);
    SetColor(clWhite);
    StayOnTop = true;
    Position = FormPosition::ScreenCenter;
    OnActivate = [this](Form&) { FormActivate(); };
    OnKeyDown = [this](Form&, int& key) { FormKeyDown(key); };
    OnKeyPress = [this](Form&, char& key) { FormKeyPress(key); };
    OnMouseMove = [this](Form&, int x, int y) { MouseMove(x, y); };
    OnMouseUp = [this](Form&, MouseButton, int, int) { MouseUp(); };
    OnPaint = [this](Form&) { FormPaint(); };
    OnResize = [this](Form&) { FormResize(); };
    OnShow = [this](Form&) { FormShow(); };
    OnModalStart = [this](Form&) {
        Announce(AsAlert ? AccessibleEvent::Alert : AccessibleEvent::DialogStart);
        // Then the button Enter would press, as a reader says it after the question.
        if (FocusedControl() != nullptr)
            Announce(AccessibleEvent::Focus, ChildOf(*FocusedControl()));
        if (OnWaiting)
            OnWaiting(Describe());
    };

    Gradient1 = new TGradient(this, GetApplication().Colors());
    Gradient1->BeginLoading();
    Gradient1->SetName("Gradient1");
    Gradient1->SetParent(this);
    Gradient1->SetAnchors(Anchor::Right | Anchor::Bottom);
    Gradient1->SetStyle(TGradientStyle::gsDiagonalRF);
    Gradient1->SetColorEnd(clAppWorkSpace);
    Gradient1->Hint = "Redimensionnement";
    Gradient1->SetVisible(false);
    Gradient1->OnMouseDown = [this](Control&, MouseButton, int x, int y) { Gradient1MouseDown(x, y); };
    Gradient1->OnMouseMove = [this](Control&, int x, int y) { MouseMove(x, y); };
    Gradient1->OnMouseUp = [this](Control&, MouseButton, int, int) { MouseUp(); };

    LeMessage = new THTMLLabel(this, host_);
    LeMessage->SetName("LeMessage");
    LeMessage->SetParent(this);
    LeMessage->SetAutoSize(true);

    LayOutDesign();
    SetLeft(GetScale().Px(286));
    SetTop(GetScale().Px(125));
    Gradient1->Loaded();
    FormCreate();
}

void TFMB::ApplyFont() {
    SetFont(MessageArea::StartFont(GetScale()));
}

void TFMB::LayOutDesign() {
    const Scale& s = GetScale();
    ApplyFont();
    SetClientSize(s.Px(DesignClientWidth), s.Px(DesignClientHeight));
    const IntRect grip = s.Box(464, 507, 24, 22);
    Gradient1->SetBounds(grip.Left, grip.Top, grip.Width(), grip.Height());
    const IntRect message = s.Box(53, 26, 355, 14);
    LeMessage->SetBounds(message.Left, message.Top, message.Width(), message.Height());
}

void TFMB::ScaleChanged() {
    if (!inCall_) {
        LayOutDesign();
        return;
    }
    ApplyFont();
    SetClientWidth(GetScale().Px(DesignClientWidth));
    MeasureMessage();
    PlaceButtons();
}

TFMB::~TFMB() {
    if (messageWindow == this)
        messageWindow = nullptr;
}

void TFMB::FormCreate() {
    dragX_ = 0;
    dragY_ = 0;
}

void TFMB::LesSpeedButtonsClick(Control& sender) {
    if (dynamic_cast<SpeedButton*>(&sender) != nullptr)
        result_ = StrToInt(sender.Name().substr(1));
    SetModalResult(ModalResult::Ok);
}

void TFMB::FormKeyDown(int& key) {
    if (key == VirtualKey::Return) {
        result_ = 1;
        SetModalResult(ModalResult::Ok);
    } else if (key == VirtualKey::Escape) {
        result_ = 0;
        SetModalResult(ModalResult::Ok);
    }
}

void TFMB::FormKeyPress(char& key) {
    key = UpperAsciiChar(key);
    std::size_t at = hotKeys_.find(key);
    result_ = at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
    if (result_ != 0)
        SetModalResult(ModalResult::Ok);
}

void TFMB::FormShow() {
    for (int i = 0; i < ComponentCount(); ++i) {
        if (auto* button = dynamic_cast<SpeedButton*>(Components(i)))
            button->SetAnchors(Anchor::Left | Anchor::Bottom);
    }
}

void TFMB::Gradient1MouseDown(int x, int y) {
    dragX_ = x;
    dragY_ = y;
}

void TFMB::MouseMove(int x, int y) {
    if (dragX_ == 0)
        return;
    SetWidth(Width() + x - dragX_);
    SetHeight(Height() + y - dragY_);
    dragX_ = x;
    dragY_ = y;
}

void TFMB::MouseUp() {
    dragX_ = 0;
    dragY_ = 0;
}

void TFMB::CreateButtons(AnsiString list) {
    hotKeys_.clear();
    for (const MessageButton& entry : SplitButtonList(list)) {
        auto* button = new SpeedButton(this);
        button->SetParent(this);
        hotKeys_ += entry.HotKey;
        button->SetCaption(entry.Caption);
        // As in a Windows message box: Tab goes round the buttons, and the first one, which Enter has always
        // chosen, is the default.
        button->SetTabStop(true);
        button->SetDefault(entry.Number == 1);
        AnsiString name = "B";
        name += IntToStr(entry.Number);
        button->SetName(name);
        button->OnClick = [this](Control& sender) { LesSpeedButtonsClick(sender); };
        AnsiString glyphFile = entry.Caption;
        ReplaceAll("&", "", glyphFile, true);
        glyphFile += ".BMP";
        // The buttons' pictures are files of the machine the message's pictures come from.
        FileSystem& files = host_.Services.Files;
        if (files.FileExists(glyphFile)) {
            std::vector<std::uint8_t> bytes = ReadWholeFile(files, glyphFile);
            button->SetGlyph(DecodeBmp(bytes));
        }
    }
}

void TFMB::MeasureMessage() {
    const Scale& s = GetScale();
    const int left = s.Px(MessageArea::Left);
    const int top = s.Px(MessageArea::Top);
    const int width = ClientWidth() - s.Px(MessageArea::Margins);
    LeMessage->SetTop(top);
    LeMessage->SetLeft(left);
    LeMessage->SetWidth(width);
    Canvas& canvas = GetCanvas();
    LeMessage->SetHeight(
        MeasureHtml(host_, canvas.Engine(), s, canvas.GetFont(), left, top, width, LeMessage->Caption()));
}

void TFMB::PlaceButtons() {
    const Scale& s = GetScale();
    // In 96-dpi pixels, as designed: the column and the row's offset below the message.
    int x = FirstButtonX;
    int row = ButtonGap;
    const int top = LeMessage->Height();
    std::vector<std::pair<SpeedButton*, IntRect>> places;
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* button = dynamic_cast<SpeedButton*>(Components(i));
        if (button == nullptr)
            continue;
        if (Width() - s.Px(145) < s.Px(x)) {
            x = FirstButtonX;
            row += RowStep;
        }
        places.emplace_back(button, ButtonAt(s, (x - FirstButtonX) / ButtonStep, top + s.Px(row)));
        x += ButtonStep;
    }
    // The height first: shown buttons are anchored to the bottom edge and would move with it.
    SetClientHeight(top + s.Px(row) + s.Px(BottomMargin));
    for (const auto& [button, r] : places)
        button->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TFMB::FreeButtons() {
    for (;;) {
        SpeedButton* found = nullptr;
        for (int i = 0; i < ComponentCount() && found == nullptr; ++i)
            found = dynamic_cast<SpeedButton*>(Components(i));
        if (found == nullptr)
            return;
        delete found;
    }
}

int TFMB::Run(const AnsiString& title, const AnsiString& text, const AnsiString& buttons, TColor colour) {
    SetTop(GetScale().Px(106));
    TColor kept = Color();
    if (colour.Value != 0)
        SetColor(colour);
    // The buttons and the colour belong to this call only, whatever way it ends.
    struct CallScope {
        TFMB& window;
        TColor kept;
        bool restore;
        ~CallScope() {
            window.inCall_ = false;
            window.FreeButtons();
            if (restore)
                window.SetColor(kept);
        }
    } scope{*this, kept, colour.Value != 0};

    SetCaption(title);
    LeMessage->SetCaption(MessageMarkup(text));
    MeasureMessage();
    CreateButtons(buttons);
    PlaceButtons();
    inCall_ = true;
    result_ = 0;
    Invalidate();
    ShowModal();
    return result_;
}

AccessibleTree TFMB::Describe() const {
    AccessibleTree tree = Form::Describe();
    tree.Role = AsAlert ? AccessibleRole::Alert : AccessibleRole::Dialog;
    return tree;
}

TFMB* FMB() {
    return messageWindow;
}

TFMB& CreateMessageWindow(Application& app, const HtmlHost& host) {
    messageWindow = new TFMB(app, host);
    return *messageWindow;
}

void ForgetMessageWindow() {
    messageWindow = nullptr;
}

int ShowHtmlMessageWindow(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                          TColor colour) {
    if (messageWindow == nullptr)
        throw std::logic_error("no message window (CreateMessageWindow)");
    return messageWindow->Run(title, text, buttons, colour);
}

} // namespace vendora
