#include "core/protocol/weld_protocol.h"

#include "core/listing/field_scan.h"
#include "core/listing/record_filter.h"

namespace kestrava {

void readWeldProtocol(const WeldRecord& weld, WeldProtocol& protocol)
{
    protocol.fields.clear();
    const std::string_view header = weld.header;
    std::size_t nameFrom = 0;
    bool namesLeft = true;
    forEachField(
        weld.record.data(), weld.record.data() + weld.record.size(),
        [&](const char* from, const char* to) {
            std::string_view name;
            if (namesLeft) {
                const std::size_t tab = header.find('\t', nameFrom);
                name =
                    header.substr(nameFrom, tab == std::string_view::npos ? std::string_view::npos
                                                                          : tab - nameFrom);
                namesLeft = tab != std::string_view::npos;
                nameFrom = tab + 1;
            }
            protocol.fields.push_back({name, std::string_view(from, std::size_t(to - from))});
            return true;
        });
    const auto field = [&](int k) {
        return k >= 1 && std::size_t(k) <= protocol.fields.size()
                   ? protocol.fields[std::size_t(k) - 1].value
                   : std::string_view();
    };
    const MachineFamily family = weld.family;
    protocol.family = family;
    protocol.serial = field(serialFieldOf(family));
    protocol.date = field(dateFieldOf(family));
    protocol.time = field(dateFieldOf(family) + 1);
    protocol.day = recordDay(weld.record, family);
    protocol.hasErrorField = std::size_t(errorFieldOf(family)) <= protocol.fields.size();
    protocol.errorText = field(errorFieldOf(family));
    protocol.errorRow =
        protocol.hasErrorField ? errorCodeRow(family, protocol.errorText) : std::nullopt;
    protocol.download = weld.download;
    protocol.number = weld.number;
}

}  // namespace kestrava
