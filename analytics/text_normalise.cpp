#include "analytics/text_normalise.h"

#include "analytics/sdk/record_rules.h"
#include "utils/text_convert.h"

namespace quillon {
namespace tracking {

std::string NormaliseText(const std::string& text) {
    if (text.empty() || usage_analytics::IsValidUtf8(text)) return text;
    return Utils::WideToUtf8(Utils::MultiByteToWide(text, 0));
}

}  // namespace tracking
}  // namespace quillon
