#include "model/key_names.h"

#include <array>
#include <utility>

namespace qvl {

namespace {

// Every named key, by virtual-key code. The navigation, numeric-pad and F1 to F12 names are the
// editor's long-standing texts; the rest name the keys that have no printing character (and the
// punctuation keys by what they carry on a US keyboard), so that no key reads as a control byte.
// clang-format off
constexpr std::pair<std::uint16_t, const char*> kKeyNames[] = {
    {3, "Break"},        {8, "Backspace"},     {9, "Tab"},          {12, "Clear"},         {13, "Enter"},
    {16, "Shift"},       {17, "Ctrl"},         {18, "Alt"},         {19, "Pause"},         {20, "Caps Lock"},
    {21, "Kana"},        {25, "Kanji"},        {27, "Esc"},         {28, "Convert"},       {29, "Nonconvert"},
    {32, "Space"},       {33, "Page Up"},      {34, "Page Down"},   {35, "End"},           {36, "Home"},
    {37, "Left"},        {38, "Up"},           {39, "Right"},       {40, "Down"},          {41, "Select"},
    {42, "Print"},       {43, "Execute"},      {44, "Print Screen"}, {45, "Insert"},       {46, "Delete"},
    {47, "Help"},        {91, "Win"},          {92, "Win"},         {93, "Apps"},          {95, "Sleep"},
    {106, "Num *"},      {107, "Num +"},       {108, "Num Sep"},    {109, "Num -"},        {110, "Num Del"},
    {111, "Num /"},      {144, "Num Lock"},    {145, "Scroll Lock"}, {160, "Shift"},       {161, "Shift"},
    {162, "Ctrl"},       {163, "Ctrl"},        {164, "Alt"},        {165, "Alt"},          {166, "Browser Back"},
    {167, "Browser Fwd"}, {168, "Refresh"},    {169, "Browser Stop"}, {170, "Search"},     {171, "Favorites"},
    {172, "Browser Home"}, {173, "Mute"},      {174, "Volume Down"}, {175, "Volume Up"},   {176, "Next Track"},
    {177, "Prev Track"}, {178, "Stop Media"},  {179, "Play/Pause"}, {180, "Mail"},         {181, "Media"},
    {182, "App 1"},      {183, "App 2"},       {186, ";"},          {187, "="},            {188, ","},
    {189, "-"},          {190, "."},           {191, "/"},          {192, "`"},            {219, "["},
    {220, "\\"},         {221, "]"},           {222, "'"},          {226, "<>"},           {246, "Attn"},
    {247, "CrSel"},      {248, "ExSel"},       {249, "Erase EOF"},  {250, "Play"},         {251, "Zoom"},
    {253, "PA1"},        {254, "Clear"},
};
// clang-format on

constexpr std::array<const char*, 8> kModifierPrefixes = {
    "", "Shft+", "Ctrl+", "CtlShft+", "Alt+", "ShftAlt+", "CtlAlt+", "CtlShftAlt+",
};

constexpr std::array<const char*, 8> kFlagPrefixes = {
    "", "Ctl+", "Alt+", "Shft+", "CtlAlt+", "CtlShft+", "CtlAltShft+", "AltShft+",
};

} // namespace

std::string KeyName(std::uint16_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= 96 && vk <= 105)
        return "Num " + std::to_string(vk - 96);
    if (vk >= 112 && vk <= 135)
        return "F" + std::to_string(vk - 111);
    for (const auto& [code, name] : kKeyNames) {
        if (code == vk)
            return name;
    }
    return "Key " + std::to_string(vk);
}

std::string ModifierPrefix(std::uint16_t hotKeyMods) {
    return kModifierPrefixes[hotKeyMods & 7u];
}

std::string FlagPrefix(std::int16_t flagCode) {
    return flagCode >= 1 && flagCode <= 7 ? kFlagPrefixes[static_cast<std::size_t>(flagCode)] : "";
}

std::string SpecialKeyName(std::uint32_t specialKey) {
    switch (specialKey & 0xFFFFu) {
        case 8:
            return "Backspace";
        case 9:
            return (specialKey >> 16) == 1 ? "ShftTab" : "Tab";
        case 13:
            return "Enter";
        case 32:
            return "Space";
        case 46:
            return "Delete";
        default:
            return "";
    }
}

} // namespace qvl
