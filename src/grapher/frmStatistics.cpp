#include "grapher/frmStatistics.h"

#include <QFormLayout>
#include <QLabel>

frmStatistics::frmStatistics(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(QStringLiteral("Statistics"));
    auto* form = new QFormLayout(this);
    const std::array<std::pair<const char*, const char*>, 8> rows = {{
        {"Samples:", "lblSamples"},
        {"Time span:", "lblSpan"},
        {"Mean:", "lblMean"},
        {"Std. deviation:", "lblStdDev"},
        {"RMS:", "lblRms"},
        {"Minimum:", "lblMinimum"},
        {"Maximum:", "lblMaximum"},
        {"Peak-to-peak:", "lblPeakToPeak"},
    }};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        values_[i] = new QLabel(this);
        values_[i]->setObjectName(QLatin1String(rows[i].second));
        // Figures are copied into notes and reports.
        values_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Room for "-123.45 mVDC" and the like, so the window does not jump as the view moves.
        values_[i]->setMinimumWidth(
            values_[i]->fontMetrics().horizontalAdvance(QStringLiteral("-0000.0000 \u00b5OHMS")));
        form->addRow(QString::fromLatin1(rows[i].first), values_[i]);
    }
    form->setSizeConstraint(QLayout::SetFixedSize);
    clear();
}

void frmStatistics::setTexts(const grapher::StatisticsTexts& t) {
    const std::array<const QString*, 8> texts = {&t.samples,           &t.span,      &t.mean,
                                                 &t.standardDeviation, &t.rms,       &t.minimum,
                                                 &t.maximum,           &t.peakToPeak};
    for (std::size_t i = 0; i < texts.size(); ++i)
        values_[i]->setText(*texts[i]);
}

void frmStatistics::setStatistics(const grapher::ViewStatistics& statistics) {
    setTexts(grapher::StatisticsTexts::of(statistics));
}

void frmStatistics::clear() {
    setTexts(grapher::StatisticsTexts{});
}
