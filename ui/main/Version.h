#pragma once
// The program's version, as the About box and --version show it.

inline constexpr char ProgramVersion[] = "1.00";
