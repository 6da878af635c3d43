// The main window's display fields: each one is written here only, in its one format.
#include "ui/main/N2testeqvtmain.h"

#include "common/ConfigBlocks.h"
#include "common/Geral.h"
#include "common/NumberText.h"
#include "link/PollingPoints.h"
#include "link/PortState.h"
#include "ui/FormSupport.h"
#include "ui/dialogs/Calibracao.h"

#include <QLabel>

namespace {

using MainEdit = QLineEdit* Ui::TFormMain::*;
using MainLabel = QLabel* Ui::TFormMain::*;
using M = Ui::TFormMain;

// Where the window shows each measurement, and its unit label: a scaled value's prefixed unit,
// or the fixed caption of the layout.
struct Field {
    Quantity quantity;
    Phase phase;
    MainEdit edit;
    MainLabel unitLabel;
};

const Field Fields[] = {
    {Quantity::U, Phase::Total, &M::EditU, &M::LabelU},
    {Quantity::I, Phase::Total, &M::EditI, &M::LabelI},
    {Quantity::P, Phase::Total, &M::EditP, &M::LabelP},
    {Quantity::Q, Phase::Total, &M::EditQ, &M::LabelQ},
    {Quantity::FP, Phase::Total, &M::EditFP, nullptr},
    {Quantity::S, Phase::Total, &M::EditS, &M::LabelS},
    {Quantity::Freq, Phase::Total, &M::EditFreq, &M::LabelFreq},
    {Quantity::U, Phase::L1, &M::EditU1, &M::LabelU1},
    {Quantity::U, Phase::L2, &M::EditU2, &M::LabelU2},
    {Quantity::U, Phase::L3, &M::EditU3, &M::LabelU3},
    {Quantity::I, Phase::L1, &M::EditI1, &M::LabelI1},
    {Quantity::I, Phase::L2, &M::EditI2, &M::LabelI2},
    {Quantity::I, Phase::L3, &M::EditI3, &M::LabelI3},
    {Quantity::P, Phase::L1, &M::EditP1, &M::LabelP1},
    {Quantity::P, Phase::L2, &M::EditP2, &M::LabelP2},
    {Quantity::P, Phase::L3, &M::EditP3, &M::LabelP3},
    {Quantity::Q, Phase::L1, &M::EditQ1, &M::LabelQ1},
    {Quantity::Q, Phase::L2, &M::EditQ2, &M::LabelQ2},
    {Quantity::Q, Phase::L3, &M::EditQ3, &M::LabelQ3},
    {Quantity::S, Phase::L1, &M::EditS1, &M::LabelS1},
    {Quantity::S, Phase::L2, &M::EditS2, &M::LabelS2},
    {Quantity::S, Phase::L3, &M::EditS3, &M::LabelS3},
    {Quantity::FP, Phase::L1, &M::EditFP1, nullptr},
    {Quantity::FP, Phase::L2, &M::EditFP2, nullptr},
    {Quantity::FP, Phase::L3, &M::EditFP3, nullptr},
    {Quantity::EAPos, Phase::Total, &M::EditEAPos, &M::LabelEAPos},
    {Quantity::EANeg, Phase::Total, &M::EditEANeg, &M::LabelEANeg},
    {Quantity::ERPos, Phase::Total, &M::EditERPos, &M::LabelERPos},
    {Quantity::ERNeg, Phase::Total, &M::EditERNeg, &M::LabelERNeg},
    {Quantity::MDA, Phase::Total, &M::EditMDA, &M::LabelUniMDA},
    {Quantity::DA, Phase::Total, &M::EditDA, &M::LabelUniDA},
    {Quantity::MDS, Phase::Total, &M::EditMDS, &M::LabelUniMDS},
    {Quantity::DS, Phase::Total, &M::EditDS, &M::LabelUniDS},
};

const Field* FieldFor(const MeterPoint& point)
{
    for (const Field& field : Fields) {
        if (field.quantity == point.quantity && field.phase == point.phase)
            return &field;
    }
    return nullptr;
}

// The number text of a point and, for a scaled one, its prefixed unit.
QString PointText(const MeterPoint& point, float value, QString& unitText)
{
    switch (point.format) {
    case PointFormat::Scaled: return FormatMeasurement(value, point.unit, unitText);
    case PointFormat::Fixed4: return FormatFixed(value, 4);
    case PointFormat::Fixed3: break;
    }
    return FormatFixed(value, 3);
}

}  // namespace

void TFormMain::ShowAddress(int address)
{
    EditEnd->setText(QString::number(address));
}

void TFormMain::ShowSerialNumber(int32_t serialNumber)
{
    Refresh(EditNSerie, QString::number(serialNumber));
}

void TFormMain::ShowPortState()
{
    const N2PortStatus& status = N2CurrentPortStatus();
    QString text = " Port : " + PortName;
    if (!status.open)
        text += " - " + status.reason;
    SetStatusText(0, text);
    StatusPanel(0)->setToolTip(status.sentence);
}

void TFormMain::ShowMeterStatus(int code)
{
    SetStatusText(2, " Status : Error Code [" + QString::asprintf("%02d", code) + "]");
}

void TFormMain::ReportCommError(int count, int code)
{
    SetStatusText(2, " Status : Error Code [" + QString::number(code) + "]");
    SetStatusText(3, " Error Communication : " + QString::number(count));
}

void TFormMain::ShowParameters(const ParameterBlock& parameters)
{
    Refresh(EditTP, FormatFixed(parameters.tp, 4));
    Refresh(EditTC, FormatFixed(parameters.tc, 4));
    Refresh(EditKE, QString::number(parameters.ke));
    Refresh(EditTL, QString::number(parameters.tl));
    Refresh(EditTI, QString::number(parameters.ti));
}

void TFormMain::ShowMeasurement(const MeterPoint& point, float value)
{
    const Field* field = FieldFor(point);
    if (!field)
        return;
    QString unitText;
    const QString number = PointText(point, value, unitText);
    Refresh(this->*field->edit, number);
    if (QLineEdit* copy = FormConfiguracao ? FormConfiguracao->MeasuredEdit(point.quantity, point.phase) : nullptr)
        Refresh(copy, number);
    if (!field->unitLabel)
        return;
    QLabel* label = this->*field->unitLabel;
    if (point.format == PointFormat::Scaled)
        label->setText(unitText);
    Refresh(label);
}

void TFormMain::ShowStarts(int starts)
{
    Refresh(EditPartidas, QString::number(starts));
}

bool TFormMain::ReadingShown() const
{
    return !EditU->text().isEmpty();
}

void TFormMain::Refresh(QWidget* field)
{
    ShowAsOld(field, false);
    refreshed_.insert(field);
}

void TFormMain::Refresh(QLineEdit* field, const QString& text)
{
    ShowValue(field, text);
    refreshed_.insert(field);
}

std::vector<QWidget*> TFormMain::CycleFields() const
{
    std::vector<QWidget*> fields{EditNSerie, EditTP, EditTC, EditKE, EditTL, EditTI, EditPartidas};
    for (const Field& field : Fields) {
        fields.push_back(this->*field.edit);
        if (field.unitLabel)
            fields.push_back(this->*field.unitLabel);
        if (QLineEdit* copy = FormConfiguracao ? FormConfiguracao->MeasuredEdit(field.quantity, field.phase) : nullptr)
            fields.push_back(copy);
    }
    return fields;
}

void TFormMain::ShowOldFields()
{
    for (QWidget* field : CycleFields()) {
        if (!refreshed_.count(field))
            ShowAsOld(field, true);
    }
}
