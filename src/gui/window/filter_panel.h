// FilterPanel: the main window's Frame1, the filter request of the listing. Three
// options (all records, a date range, an error number), the inputs of the chosen one
// and its button. When the user asks for a listing the panel says so with the whole
// request (listingRequested); an input it refuses is told through refused, after
// which the focus goes to that input.
//
// The request keeps an error filter under a later date range: a date range is spent
// by the listing run it asked for (listingShown), an error number stays until Show
// ALL Records is chosen.
#pragma once

#include <QGroupBox>
#include <array>
#include <cstdint>
#include <functional>

#include "core/listing/record_filter.h"
#include "core/settings/build_profile.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FilterPanel final : public QGroupBox {
    Q_OBJECT

public:
    // language: the build language (the error number is read in its digits). busy:
    // whether the window's long work runs; the panel then does nothing.
    FilterPanel(kestrava::Language language, std::function<bool()> busy, QWidget* parent);

    // The captions in the build language (a build without texts keeps the design's).
    void applyCaptions();
    // Back to Show ALL Records with no date range, asking for no listing.
    void reset();

    // The request, by the design's names.
    kestrava::ListingFilter filter() const { return request_; }
    bool DateFilterOn() const { return request_.dateOn; }
    bool ErrorFilterOn() const { return request_.errorOn; }
    kestrava::Day FilterDateFrom() const { return request_.from; }
    kestrava::Day FilterDateTo() const { return request_.to; }
    std::int16_t FilterErrorNumber() const { return request_.errorNumber; }

public slots:
    void Option1_Click(int index);
    void Command_Dates_Click();
    void Command_Error_Click();
    // A listing run has gone through: its date range is spent.
    void listingShown();

signals:
    void listingRequested(const kestrava::ListingFilter& filter);
    void refused(const QString& message);

private:
    // Shows the inputs of option index and sets the request to match, without asking
    // for a listing.
    void showOption(int index);
    void hideInputs();

    kestrava::Language language_;
    std::function<bool()> busy_;
    kestrava::ListingFilter request_;

public:
    // Controls, named as in the design (objectName is the same).
    std::array<QRadioButton*, 3> Option1{};
    QLineEdit* Text_From = nullptr;
    QLabel* Label_From = nullptr;
    QLineEdit* Text_To = nullptr;
    QLabel* Label_To = nullptr;
    QPushButton* Command_Dates = nullptr;
    QLabel* Label_Error = nullptr;
    QLineEdit* Text_Error = nullptr;
    QPushButton* Command_Error = nullptr;
};
