// Puts the English phrases of ping and tracert output into Chinese, one chunk
// of output at a time, by plain phrase substitution.
#pragma once

#include "core/Text.h"

namespace PingTranslator {

// The chunk with the phrase table applied; the empty text gives the empty text.
Text translate(const Text& chunk);

}  // namespace PingTranslator
