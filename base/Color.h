#pragma once
// The framework's colour: red in the low byte, green in the middle byte, blue in the high byte. A value with
// the top bit set names a system colour by the index in its low byte; it is resolved to the platform's
// current RGB value (see platform) before any arithmetic.

#include <cstdint>

namespace vendora {

struct TColor {
    std::uint32_t Value = 0;

    constexpr TColor() = default;
    constexpr explicit TColor(std::uint32_t value) : Value(value) {}

    static constexpr TColor Rgb(int r, int g, int b) {
        return TColor(static_cast<std::uint32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16)));
    }
    static constexpr TColor System(int index) {
        return TColor(0x80000000u | static_cast<std::uint32_t>(index));
    }

    constexpr bool IsSystem() const { return (Value & 0x80000000u) != 0; }
    constexpr int SystemIndex() const { return static_cast<int>(Value & 0xFF); }
    constexpr int Red() const { return static_cast<int>(Value & 0xFF); }
    constexpr int Green() const { return static_cast<int>((Value >> 8) & 0xFF); }
    constexpr int Blue() const { return static_cast<int>((Value >> 16) & 0xFF); }

    friend constexpr bool operator==(TColor a, TColor b) = default;
};

// Windows system colour indexes (GetSysColor).
namespace SysColor {
inline constexpr int ActiveCaption = 2;
inline constexpr int WindowColor = 5;
inline constexpr int WindowText = 8;
inline constexpr int AppWorkSpace = 12;
inline constexpr int BtnFace = 15;
inline constexpr int BtnShadow = 16;
inline constexpr int GrayText = 17;
inline constexpr int BtnText = 18;
inline constexpr int BtnHighlight = 20;
inline constexpr int GradientActiveCaption = 27;
} // namespace SysColor

inline constexpr TColor clBlack{0x000000};
inline constexpr TColor clWhite{0xFFFFFF};
inline constexpr TColor clRed{0x0000FF};
inline constexpr TColor clBlue{0xFF0000};
inline constexpr TColor clYellow{0x00FFFF};
inline constexpr TColor clGray{0x808080};
inline constexpr TColor clSilver{0xC0C0C0};
inline constexpr TColor clPurple{0x800080};
inline constexpr TColor clBtnFace = TColor::System(SysColor::BtnFace);
inline constexpr TColor clWindowText = TColor::System(SysColor::WindowText);
inline constexpr TColor clAppWorkSpace = TColor::System(SysColor::AppWorkSpace);
inline constexpr TColor clActiveCaption = TColor::System(SysColor::ActiveCaption);
inline constexpr TColor clGradientActiveCaption = TColor::System(SysColor::GradientActiveCaption);

} // namespace vendora
