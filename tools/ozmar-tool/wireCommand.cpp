#include <memory>
#include <string>
#include <vector>

#include "data/linkState.h"
#include "data/loadedRecording.h"
#include "data/safeFile.h"
#include "data/wireEnvelope.h"
#include "toolCommon.h"

namespace tool {

namespace {

int encode(const std::string& in, const std::string& out)
{
    // Only a data file that reads whole is wrapped.
    auto own = std::make_unique<data::LoadedRecording>();
    if (int status = loadOwnFile(in, *own); status != kSuccess)
        return status;
    std::vector<std::uint8_t> stream;
    if (!readWholeFile(in, stream))
        return fail(kCannotOpen, "could not read file \"" + in + "\"");
    const std::vector<std::uint8_t> envelope = data::wrapInEnvelope(stream);
    if (!data::writeWholeFile(out, envelope.data(), envelope.size()))
        return fail(kCannotOpen, "could not write file \"" + out + "\"");
    return kSuccess;
}

int decode(const std::string& in, const std::string& out)
{
    std::vector<std::uint8_t> capture;
    if (!readWholeFile(in, capture))
        return fail(kCannotOpen, "could not open file \"" + in + "\"");
    std::vector<std::uint8_t> stream;
    try {
        stream = data::unwrapEnvelope(capture);
    } catch (const data::TransferError& e) {
        if (e.bits & data::transfer::crcError)
            return fail(kNotDataFile, "the check value of \"" + in + "\" is wrong");
        if (e.bits & data::transfer::portInvalid)
            return fail(kNotDataFile, "\"" + in + "\" ends before its stream is complete");
        return fail(kNotDataFile, "\"" + in + "\" is not a recording stream");
    }
    if (!data::writeWholeFile(out, stream.data(), stream.size()))
        return fail(kCannotOpen, "could not write file \"" + out + "\"");
    return kSuccess;
}

}  // namespace

int wireCommand(const Args& args)
{
    if (args.size() != 3 || (args[0] != "encode" && args[0] != "decode"))
        return fail(kUsage, "usage: ozmar-tool wire encode|decode IN OUT");
    return args[0] == "encode" ? encode(args[1], args[2]) : decode(args[1], args[2]);
}

}  // namespace tool
