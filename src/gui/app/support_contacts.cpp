#include "gui/app/support_contacts.h"

// All contact data here are fictional placeholders: the numbers come from ranges
// reserved for fiction (+44 20 7946 0xxx in the UK, +48 22 000 00xx chosen as unused in
// Poland) and the addresses use the reserved example.com / example.pl domains.

SupportContact makerContact()
{
    return {QStringLiteral("BRENVIK"), QStringLiteral("Tel: +44 20 7946 0310"),
            QStringLiteral("Fax: +44 20 7946 0311"), QStringLiteral("support@brenvik.example.com"),
            QStringLiteral("www.brenvik.example.com")};
}

std::optional<SupportContact> supportContactFor(std::string_view brandKey)
{
    if (brandKey == "brenvik")
        return makerContact();
    if (brandKey == "teldrum")
        return SupportContact{QStringLiteral("TELDRUM"), QStringLiteral("Tel: +44 20 7946 0520"),
                              QStringLiteral("Fax: +44 20 7946 0521"),
                              QStringLiteral("service@teldrum.example.com"),
                              QStringLiteral("www.teldrum.example.com")};
    if (brandKey == "ombrek")
        return SupportContact{QStringLiteral("OMBREK"), QStringLiteral("Tel: +44 20 7946 0730"),
                              QStringLiteral("Fax: +44 20 7946 0731"),
                              QStringLiteral("hire@ombrek.example.com"),
                              QStringLiteral("www.ombrek.example.com")};
    if (brandKey == "sorvanta")
        return SupportContact{QStringLiteral("Sorvanta"), QStringLiteral("Tel: +48 22 000 0041"),
                              QStringLiteral("Fax: +48 22 000 0042"),
                              QStringLiteral("serwis@sorvanta.example.pl"),
                              QStringLiteral("www.sorvanta.example.pl")};
    return std::nullopt;
}
