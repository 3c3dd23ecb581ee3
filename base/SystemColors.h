#pragma once
// The system colours of a machine (GetSysColor), and the one resolution of a framework colour against them.
// The installed platform is one; drawing code is handed the colours it draws with (a canvas holds them), so
// that what a window shows reads its machine's colours and a test or a tool can hand a fixed set.

#include "base/Color.h"

namespace vendora {

class SystemColors {
public:
    virtual ~SystemColors() = default;
    // GetSysColor: the current RGB value of a system colour index.
    virtual TColor GetSysColor(int index) = 0;
};

// A system colour becomes its current RGB value among colors; any other colour is returned unchanged.
TColor RgbOf(TColor color, SystemColors& colors);

// color itself, which must be RGB: a system colour reaching arithmetic or pixels unresolved is a fault of the
// caller, raised as std::logic_error rather than painted as a wrong colour.
TColor CheckedRgb(TColor color);

// The Windows XP default system colours (button face 0xD8E9EC...), for machines without their own.
TColor XpSysColor(int index);

// The Windows XP defaults as a set of system colours, for tests, benchmarks and tools that have no machine.
class XpSystemColors final : public SystemColors {
public:
    TColor GetSysColor(int index) override { return XpSysColor(index); }
};

} // namespace vendora
