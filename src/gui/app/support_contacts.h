// The support contacts of each brand: company name and the four contact lines of the
// technical-support dialog.
#pragma once

#include <QString>
#include <optional>
#include <string_view>

struct SupportContact {
    QString company;  // "BRENVIK", "Sorvanta", ...
    QString telephone;  // "Tel: " followed by the number
    QString fax;  // "Fax: " followed by the number
    QString email;  // the bare address
    QString web;  // the bare address
};

// The contacts of a brand key (exact, case-sensitive); nothing for an unknown key.
std::optional<SupportContact> supportContactFor(std::string_view brandKey);

// The maker's own contacts, the design contents of the dialog.
SupportContact makerContact();
