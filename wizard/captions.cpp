#include "wizard/captions.h"

#include "base/text.h"
#include "wizard/texts.h"

namespace setup {

std::string TaskbarTitle(const SetupConfig& c) { return CutBytes(c.ProductName() + texts::kTaskbarSuffix, 137); }

std::string WelcomeCaption(const SetupConfig& c) { return CutBytes(c.ProductName() + "安装向导", 136); }

std::string ReleaseDateDisplay(const SetupConfig& c) {
    const std::string d = c.ReleaseDate();
    auto piece = [&](size_t from, size_t n) { return from < d.size() ? d.substr(from, n) : std::string(); };
    return piece(0, 4) + "." + piece(4, 2) + "." + piece(6, 2) + " ";
}

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
