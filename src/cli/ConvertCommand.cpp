// SPDX-License-Identifier: GPL-3.0-or-later
// convert: one song of another format to an MP3 file, with the user's conversion settings.

#include "Commands.h"
#include "Interrupt.h"

#include "Conversion.h"
#include "ConversionSettings.h"

#include <cstdio>

namespace stavio::cli {

int ConvertCommand(const Arguments& args) {
    if (args.size() != 2)
        return UsageError();
    const std::string& source = args[0];
    const std::string& destination = args[1];
    InterruptGuard guard;
    const ConversionResult result =
        ConvertToMp3(source, destination, LoadConversionSettings(), guard.Interrupted());
    if (result.Ok())
        return 0;
    if (result.status == ConversionStatus::Cancelled)
        return kInterruptedExit;
    const std::string& path = result.status == ConversionStatus::WriteFailed ? destination : source;
    std::fprintf(stderr, "stavio-cli: %s: %s\n",
                 ConversionFailureText(result, Language::English).c_str(), path.c_str());
    return 2;
}

} // namespace stavio::cli
