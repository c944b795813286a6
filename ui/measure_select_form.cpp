// SPDX-License-Identifier: MIT
#include "ui/measure_select_form.h"

#include "ui/analysis_swatch.h"
#include "ui/dialog_buttons.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace orv::ui {
namespace {

constexpr const char* kItems[] = {"Ch-A Vavg", "Ch-A Vrms", "Ch-A Vmax", "Ch-A Vmin", "Ch-A Vp-p", "Ch-A Freq",
                                  "Ch-B Vavg", "Ch-B Vrms", "Ch-B Vmax", "Ch-B Vmin", "Ch-B Vp-p", "Ch-B Freq"};

} // namespace

Tmeasureselectform::Tmeasureselectform(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tmeasureselectform"));
    setWindowTitle(QStringLiteral("Measurement"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* col = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* box = new QGroupBox(QStringLiteral("Measurement View"), this);
    box->setObjectName(QStringLiteral("RadioGroup1"));
    auto* grid = new QGridLayout(box);
    RadioGroup1 = new QButtonGroup(box);
    for (int i = 0; i < 12; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(kItems[i]), box);
        grid->addWidget(b, i % 6, i / 6);
        RadioGroup1->addButton(b, i);
    }
    top->addWidget(box);
    auto* count = new QVBoxLayout;
    TrackBar1 = new QSlider(Qt::Vertical, this);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(0, 12);
    TrackBar1->setTickPosition(QSlider::TicksRight);
    Label1 = new QLabel(QStringLiteral("12"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    count->addWidget(TrackBar1, 1, Qt::AlignHCenter);
    count->addWidget(Label1, 0, Qt::AlignHCenter);
    top->addLayout(count);
    col->addLayout(top);
    auto* colour = new QHBoxLayout;
    colour->addWidget(new QLabel(QStringLiteral("Color"), this));
    Label7 = new ColourSwatch("Label7", this);
    colour->addWidget(Label7);
    colour->addStretch(1);
    col->addLayout(colour);
    dialog_buttons(this, col, {"BitBtn1", "BitBtn2", "Button1"}, [this] { BitBtn1Click(); },
                   [this] { BitBtn2Click(); }, [this] { Button1Click(); });
    connect(TrackBar1, &QSlider::valueChanged, this, &Tmeasureselectform::TrackBar1Change);
    adjustSize();
    if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
}

void Tmeasureselectform::load(int selection_index, uint32_t colour_value, int shown) {
    TrackBar1->setValue(std::clamp(shown, 0, 12));
    Label1->setText(QString::number(TrackBar1->value()));
    if (QAbstractButton* b = RadioGroup1->button(std::clamp(selection_index, 0, 11))) b->setChecked(true);
    Label7->set_colour(colour_value);
}

int Tmeasureselectform::selection_index() const { return std::max(0, RadioGroup1->checkedId()); }
uint32_t Tmeasureselectform::colour() const { return Label7->colour(); }
int Tmeasureselectform::count() const { return TrackBar1->value(); }

void Tmeasureselectform::BitBtn1Click() {
    if (on_ok) on_ok();
    hide();
}

void Tmeasureselectform::BitBtn2Click() { hide(); }

void Tmeasureselectform::Button1Click() {
    if (on_default) on_default();
}

void Tmeasureselectform::TrackBar1Change(int position) { Label1->setText(QString::number(position)); }

} // namespace orv::ui
