#include "bindings/terminal_enums.hpp"

#include "bindings/runtime/registry.hpp"
#include "core/terminal/commands.hpp"

namespace tarvo::bindings {

namespace kf = core::term::keyboard_flags;

static_assert(ClearTypeClass::variants.size() == core::term::kClearTypeCount);
static_assert(CursorStyleClass::variants.size() == core::term::kCursorStyleCount);
static_assert(ConsoleColorClass::variants.size() == core::term::kConsoleColorCount);
static_assert(ConsoleAttributeClass::variants.size() == core::term::kConsoleAttributeCount);
static_assert(KeyboardEnhancementFlagsClass::flags[0].bits == kf::DISAMBIGUATE_ESCAPE_CODES &&
              KeyboardEnhancementFlagsClass::flags[1].bits == kf::REPORT_EVENT_TYPES &&
              KeyboardEnhancementFlagsClass::flags[2].bits == kf::REPORT_ALTERNATE_KEYS &&
              KeyboardEnhancementFlagsClass::flags[3].bits == kf::REPORT_ALL_KEYS_AS_ESCAPE_CODES);

TARVO_REGISTER_CLASS(ClearTypeClass);
TARVO_REGISTER_CLASS(CursorStyleClass);
TARVO_REGISTER_CLASS(ConsoleColorClass);
TARVO_REGISTER_CLASS(ConsoleAttributeClass);
TARVO_REGISTER_CLASS(KeyboardEnhancementFlagsClass);

}  // namespace tarvo::bindings
