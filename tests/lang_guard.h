#pragma once
// Runs a test in a language and puts Czech back after it, also when it fails.
#include "platform/texts.h"

namespace zib::test {

class LanguageGuard {
  public:
    explicit LanguageGuard(Language language) { setLanguage(language); }
    ~LanguageGuard() { setLanguage(Language::Czech); }
    LanguageGuard(const LanguageGuard&) = delete;
    LanguageGuard& operator=(const LanguageGuard&) = delete;
};

}  // namespace zib::test
