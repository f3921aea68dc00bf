#include "cli/protocol_rows.h"

#include <string>

#include "cli/cli_command.h"
#include "cli/cli_output.h"
#include "core/protocol/handover_report.h"
#include "core/protocol/protocol_text.h"

namespace kestrava::cli {

namespace {

// Gathers text and hands it to standard output in large pieces.
class Output {
public:
    std::string text;
    bool failed = false;
    bool flushIfFull()
    {
        if (text.size() >= (std::size_t(1) << 16))
            flush();
        return !failed;
    }
    void flush()
    {
        if (!failed && !writeOut(text))
            failed = true;
        text.clear();
    }
};

}  // namespace

int writeProtocolRows(const WeldSource& welds, bool report)
{
    Output out;
    WeldProtocol weld;
    bool firstBlock = true;
    const auto protocols = [&](bool notOkOnly) {
        return welds.forEachWeld([&](const WeldRecord& record) {
            readWeldProtocol(record, weld);
            if (notOkOnly && weld.weldOk())
                return true;
            if (!firstBlock)
                out.text += '\n';
            firstBlock = false;
            appendProtocolText(out.text, weld);
            return out.flushIfFull();
        });
    };

    FileResult read;
    if (!report) {
        read = protocols(false);
    } else {
        ReportCover cover;
        read = collectReportCover(welds, cover);
        if (read.ok()) {
            appendCoverText(out.text, cover);
            std::string header;
            read = welds.forEachWeld([&](const WeldRecord& record) {
                readWeldProtocol(record, weld);
                if (record.header != header) {
                    header = record.header;
                    appendColumnsText(out.text, header);
                }
                appendTableRowText(out.text, weld);
                return out.flushIfFull();
            });
        }
        if (read.ok() && !out.failed) {
            out.text += '\n';
            read = protocols(true);
        }
    }
    if (!read.ok()) {
        out.flush();
        message(read);
        return kExitFileFault;
    }
    out.flush();
    return finishOut() && !out.failed ? kExitDone : kExitFileFault;
}

}  // namespace kestrava::cli
