#include "wizard/captions.h"

#include "base/text.h"
#include "wizard/texts.h"

namespace setup {

std::string WelcomeHeading(const SetupConfig& c) {
    return CutGbk(CutGbk(std::string(texts::kWelcomePrefix) + c.ProductName(), 137) +
                      texts::kTaskbarSuffix,
                  146);
}

std::string WelcomeIntro(const SetupConfig& c) {
    return CutGbk(CutGbk(std::string(texts::kIntroPrefix) + c.ProductName(), 140) +
                      texts::kIntroSuffix,
                  164);
}

std::string StartProgramCaption(const SetupConfig& c) {
    return std::string(texts::kStartPrefix) + c.ProductName();
}

std::string IncompleteLine(size_t failures) {
    return texts::kIncompleteBefore + std::to_string(failures) + texts::kIncompleteAfter;
}

std::string FailureListMore(size_t failures) {
    return texts::kFailureListMoreBefore + std::to_string(failures) + texts::kFailureListMoreAfter;
}

}  // namespace setup
