#include "dialogs/forms/Progression.h"

#include "base/Convert.h"
#include "base/Cp1252.h"
#include "controls/ColorOps.h"
#include "controls/ShadedShapes.h"
#include "controls/ui/CurvedSpeedButton.h"
#include "gui/Application.h"
#include "gui/Label.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vendora {
namespace {

constexpr int BarLeft = 20;
constexpr int BarTop = 50;
constexpr int BarWidth = 550;
constexpr int BarHeight = 20;

// The whole part of a non-negative value, forgiving the last bits a product of exact decimal values
// loses in binary (5 seconds are 4.9999999999 seconds after two multiplications).
long long WholePart(long double value) {
    return static_cast<long long>(std::floor(value + 1e-9L));
}

// The Gregorian date d days after 1 January 1900: years, months and days elapsed since then.
void ElapsedCalendar(long long d, long long& years, int& months, int& days) {
    // Days counted from 1 March of year 0, so that leap days end the counted years; 1900-01-01 is day
    // 693901 of that count.
    long long z = d + 693901;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    long long day = doy - (153 * mp + 2) / 5 + 1;
    long long month = mp < 10 ? mp + 3 : mp - 9;
    if (month <= 2)
        ++y;
    years = y - 1900;
    months = static_cast<int>(month - 1);
    days = static_cast<int>(day - 1);
}

AnsiString TwoDigits(long long value) {
    // Appending, not prefixing: GCC's -Wrestrict misreads a literal put before a temporary string.
    AnsiString text = value < 10 ? "0" : "";
    text += IntToStr(value);
    return text;
}

} // namespace

AnsiString FormatDuration(double span) {
    // A clock set back makes a negative span: it reads as no time at all.
    // Beyond a few thousand centuries the text means nothing any more; the span is capped there so that
    // the arithmetic stays exact.
    constexpr long double MaxSpan = 1e9L;
    long double value = span > 0 ? std::min(static_cast<long double>(span), MaxSpan) : 0.0L;
    long long d = WholePart(value);
    long double f = value - static_cast<long double>(d);
    if (f < 0)
        f = 0;
    long double h = f * 24;
    long long hours = WholePart(h);
    long double m = (h - static_cast<long double>(hours)) * 60;
    long long minutes = WholePart(m);
    if (m < static_cast<long double>(minutes))
        m = static_cast<long double>(minutes);
    long long seconds = WholePart((m - static_cast<long double>(minutes)) * 60);
    long long years = 0;
    int months = 0;
    int days = 0;
    ElapsedCalendar(d, years, months, days);

    AnsiString text;
    if (years == 1) {
        text += "un an ";
    } else if (years > 1) {
        text += IntToStr(years) + " ans ";
    }
    if (months > 0)
        text += IntToStr(months) + " mois ";
    if (days == 1) {
        text += "un jour ";
    } else if (days > 1) {
        text += IntToStr(days) + " jours ";
    }
    if (hours > 0)
        text += IntToStr(hours) + "h";
    if (minutes > 0)
        text += TwoDigits(minutes) + "mn";
    if (seconds > 0)
        text += TwoDigits(seconds) + "s";
    return text.empty() ? AnsiString("0s") : CutTo(text, Capacity::Path);
}

int ProgressBarWidth(int percent) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(percent) * BarWidth / 100.0));
}

Bitmap InterruptGlyph() {
    constexpr int Size = 16;
    Bitmap glyph(Size, Size, clSilver);
    auto inCross = [](int x, int y) {
        return x >= 2 && x <= 13 && y >= 2 && y <= 13 && (std::abs(x - y) <= 1 || std::abs(x + y - 15) <= 1);
    };
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
            if (inCross(x, y)) {
                glyph.SetPixel(x, y, TColor::Rgb(224, 0, 0));
            } else if (inCross(x - 1, y - 1)) {
                glyph.SetPixel(x, y, TColor::Rgb(128, 0, 0));
            } else if (inCross(x + 1, y + 1)) {
                glyph.SetPixel(x, y, clWhite);
            }
        }
    }
    return glyph;
}

TProgression::TProgression(Application& app, Component* owner, Clock clock)
    : Form(app, owner), clock_(std::move(clock)) {
    SetName("Progression");
    SetBorderStyle(BorderStyle::Single);
    CaptionButtons = false;
    SetColor(clBtnFace);
    Position = FormPosition::Default;
    OnShow = [this](Form&) { FormShow(); };
    OnClose = [this](Form&, CloseAction& action) { FormClose(action); };
    OnPaint = [this](Form&) { FormPaint(); };

    Label1 = NewLabel("Label1", "progression");
    Label1->SetTransparent(true);
    Label6 = NewLabel("Label6", "Avancement");
    Label2 = NewLabel("Label2", Ansi("réalisé"));
    Label2->SetAlignment(TextAlignment::Center);
    Label2->SetColor(TColor(16711169));
    Label2->SetAnchors(Anchor::Left | Anchor::Top | Anchor::Right);
    Label3 = NewLabel("Label3", Ansi("Durée du traitement (estimation)"));
    Label3->SetTransparent(true);
    auto rightAligned = [&](const char* name, const AnsiString& caption, bool opaque) {
        Label* label = NewLabel(name, "");
        label->SetAlignment(TextAlignment::Right);
        label->SetTransparent(!opaque);
        if (opaque)
            label->SetColor(clWhite);
        label->SetCaption(caption);
        return label;
    };
    Label4 = rightAligned("Label4", "Totale :", false);
    Totale = rightAligned("Totale", "?", true);
    Label5 = rightAligned("Label5", "Restante :", false);
    Restante = rightAligned("Restante", "?", true);

    SpeedButton1 = new TCurvedSpeedButton(this);
    SpeedButton1->SetName("SpeedButton1");
    SpeedButton1->SetParent(this);
    SpeedButton1->SetAnchors(Anchor::Right | Anchor::Bottom);
    SpeedButton1->SetColor(TColor(14215660));
    SpeedButton1->SetGlyph(InterruptGlyph());
    SpeedButton1->SetCaption("Interrompre");
    // Reached by Tab only: no key typed ahead during the work can interrupt it.
    SpeedButton1->SetTabStop(true);
    SpeedButton1->OnClick = [this](Control&) { SpeedButton1Click(); };

    Label7 = NewLabel("Label7", "");
    Label7->SetAutoSize(false);
    Label7->SetAlignment(TextAlignment::Center);
    Label7->SetTransparent(true);
    Label7->SetAnchors(Anchor::Right | Anchor::Bottom);

    LayOut();
    FormCreate();
}

void TProgression::LayOut() {
    const Scale& s = GetScale();
    SetClientSize(s.Px(606), s.Px(156));
    auto font = [&](const char* name, int height) {
        Font f;
        f.Name = name;
        f.SetHeight(height);
        return f.Scaled(s);
    };
    SetFont(font("Courier New", -13));
    // The client area's change has moved and stretched the anchored labels: each takes its place and its
    // text's size again.
    auto place = [&](Label* label, int left, int top) {
        label->SetBounds(s.Px(left), s.Px(top), label->Width(), label->Height());
        label->AdjustBounds();
    };
    place(Label1, 21, 5);
    place(Label6, 22, 22);
    place(Label2, 261, 77);
    Label3->SetFont(font("Arial Narrow", -11));
    place(Label3, 23, 92);
    // Right-aligned labels keep their right edge.
    auto placeRight = [&](Label* label, int right, int top) {
        label->SetFont(font("Arial Narrow", -11));
        label->AdjustBounds();
        label->SetBounds(s.Px(right) - label->Width(), s.Px(top), label->Width(), label->Height());
    };
    placeRight(Label4, 90, 108);
    placeRight(Totale, 161, 108);
    placeRight(Label5, 90, 124);
    placeRight(Restante, 161, 124);
    const IntRect button = s.Rect(InterruptButtonBounds);
    SpeedButton1->SetBounds(button.Left, button.Top, button.Width(), button.Height());
    const IntRect small = s.Box(395, 138, 156, 12);
    Label7->SetBounds(small.Left, small.Top, small.Width(), small.Height());
    Label7->SetFont(font("Courier New", -8));
}

void TProgression::ScaleChanged() {
    LayOut();
}

Label* TProgression::NewLabel(const char* name, const AnsiString& caption) {
    auto* label = new Label(this);
    label->SetName(name);
    label->SetParent(this);
    label->SetCaption(caption);
    return label;
}

void TProgression::FormShow() {
    if (Label2->Caption() == "interrompu")
        Label2->SetCaption(Ansi("Réalisé"));
    startTime_ = clock_();
}

void TProgression::FormClose(CloseAction& action) {
    (void)action; // closing is not refused: the window hides
    Label2->SetCaption("interrompu");
}

AccessibleTree TProgression::Describe() const {
    AccessibleTree tree = Form::Describe();
    AccessibleElement bar;
    bar.Role = AccessibleRole::ProgressBar;
    bar.Name = "Avancement";
    bar.Value = IntToStr(position_) + " %";
    bar.Bounds = GetScale().Rect(IntRect::FromSize(BarLeft, BarTop, BarWidth, BarHeight));
    // Read after the title and the current item, before the status line, as the eye goes.
    const auto at = std::min<std::size_t>(static_cast<std::size_t>(BarChild() - 1), tree.Children.size());
    tree.Children.insert(tree.Children.begin() + static_cast<std::ptrdiff_t>(at), bar);
    return tree;
}

int TProgression::BarChild() const {
    int child = 1;
    for (const Label* label : {Label1, Label6}) {
        if (label->Visible() && !label->Caption().empty())
            ++child;
    }
    return child;
}

void TProgression::SpeedButton1Click() {
    Label2->SetCaption("interrompu");
}

namespace {

// The bar's box from x to x + width (both included), rows BarTop to BarTop + BarHeight, at scale: its
// far edges are the first pixels past the 96-dpi edges, less one, so that neighbouring shapes still meet.
void DrawBarBox(Canvas& canvas, int width, TColor face, TColor step, bool sunken) {
    const Scale& s = canvas.GetScale();
    const int x = s.Px(BarLeft);
    const int y = s.Px(BarTop);
    DrawShadedBox(canvas, x, y, s.Px(BarLeft + width + 1) - 1 - x, s.Px(BarTop + BarHeight + 1) - 1 - y, face,
                  step, sunken);
}

} // namespace

void TProgression::FormPaint() {
    Canvas& canvas = GetCanvas();
    DrawBarBox(canvas, BarWidth, MixColors(clWhite, TColor(0x00FFFF), 0.2), TColor(0x101010), true);
    if (position_ > 0)
        DrawBarBox(canvas, ProgressBarWidth(position_), TColor(0xFF0000), TColor(0x3E3E3E), false);
}

void TProgression::SetPosition(int n) {
    if (n != position_) {
        int old = position_;
        int left = old <= 0 ? 19 : 19 + ProgressBarWidth(old);
        int right = n <= 0 ? 21 : 21 + ProgressBarWidth(n);
        position_ = n;
        Invalidate(GetScale().Rect({left, BarTop, right, BarTop + BarHeight}), false);
        Announce(AccessibleEvent::ValueChange, BarChild());
    }
    double elapsed = clock_() - startTime_;
    AnsiString status = " ";
    status += IntToStr(position_);
    status += Ansi("% réalisé en ");
    status += FormatDuration(elapsed);
    status += " ";
    Label2->SetCaption(status);
    double total = 0;
    if (n == 0) {
        total = elapsed * 100;
        AnsiString text = ">";
        text += FormatDuration(total);
        Totale->SetCaption(text);
    } else {
        total = elapsed * 100 / n;
        Totale->SetCaption(FormatDuration(total));
    }
    double remaining = n == 100 ? 0 : total / 100 * (100 - n);
    Restante->SetCaption(FormatDuration(remaining));
    GetApplication().ProcessMessages();
}

} // namespace vendora
