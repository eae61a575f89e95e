// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh project in a temporary folder whose "player" folder is the render target; Copy puts
// a source file made on the spot into the Copy List.

#include "ProgramState.h"
#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace stavio::test {

class CopyTargetFixture : public ::testing::Test {
protected:
    CopyTargetFixture() : state(dir.Path() + "/") {
        state.ResetProject();
        target = dir.Folder("player");
        project().TargetPath = target + "/";
    }
    TProjectClass& project() { return *state.CurrentProject; }
    std::string Copy(const std::string& folders, const std::string& name,
                     const std::string& content) {
        const std::string source = dir.File("src/" + folders + "/" + name, content);
        EXPECT_NE(AddEntry(state.CopyTree, project().CopyLinks, folders, source, state.Names),
                  nullptr);
        return source;
    }

    TempDir dir;
    ProgramState state;
    RecordingProgress progress;
    std::string target;
};

} // namespace stavio::test
