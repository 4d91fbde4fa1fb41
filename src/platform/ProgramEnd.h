#pragma once
// Ends the whole program at once (the End button): every window goes, no further handler
// of any window runs. Tests install a recording one.

#include <memory>

namespace tolvane::platform {

class ProgramEnder {
public:
    virtual ~ProgramEnder() = default;
    virtual void endProgram() = 0;
};

class QtProgramEnder final : public ProgramEnder {
public:
    void endProgram() override;
};

ProgramEnder& programEnder();
std::shared_ptr<ProgramEnder> setProgramEnder(std::shared_ptr<ProgramEnder> s);

} // namespace tolvane::platform
