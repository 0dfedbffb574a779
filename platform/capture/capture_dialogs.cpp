#include "platform/capture/capture_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace snapwire::capture {

namespace {

QDialogButtonBox* AddButtons(QDialog* dialog, QVBoxLayout* layout,
                             QDialogButtonBox::StandardButtons buttons) {
    auto* box = new QDialogButtonBox(buttons, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(box);
    return box;
}

}  // namespace

// ---- Format --------------------------------------------------------------------------

FormatDialog::FormatDialog(std::vector<VideoFormat> offered, const VideoFormat& current, QWidget* parent)
    : QDialog(parent), offered_(std::move(offered)) {
    setWindowTitle(QStringLiteral("Video Format"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    sizeBox_ = new QComboBox(this);
    sizeBox_->setObjectName(QStringLiteral("cboFrameSize"));
    rateBox_ = new QComboBox(this);
    rateBox_->setObjectName(QStringLiteral("cboFrameRate"));
    form->addRow(QStringLiteral("Frame size:"), sizeBox_);
    form->addRow(QStringLiteral("Frame rate:"), rateBox_);
    layout->addLayout(form);
    AddButtons(this, layout, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    int currentSize = 0;
    for (const auto& format : offered_) {
        const bool known = std::any_of(sizes_.begin(), sizes_.end(),
                                       [&](const auto& size) { return size.SameSize(format); });
        if (known)
            continue;
        if (format.SameSize(current))
            currentSize = int(sizes_.size());
        sizes_.push_back(format);
        sizeBox_->addItem(format.SizeLabel());
    }
    sizeBox_->setCurrentIndex(currentSize);
    FillRates(current);
    connect(sizeBox_, &QComboBox::currentIndexChanged, this, [this] { FillRates(SelectedFormat()); });
}

void FormatDialog::FillRates(const VideoFormat& wanted) {
    const int sizeIndex = sizeBox_->currentIndex();
    rateBox_->clear();
    if (sizeIndex < 0 || sizeIndex >= int(sizes_.size()))
        return;
    int chosen = 0;
    for (size_t i = 0; i < offered_.size(); ++i) {
        if (!offered_[i].SameSize(sizes_[size_t(sizeIndex)]))
            continue;
        if (offered_[i].rateNumerator * wanted.rateDenominator ==
            wanted.rateNumerator * offered_[i].rateDenominator)
            chosen = rateBox_->count();
        rateBox_->addItem(offered_[i].RateLabel(), int(i));
    }
    rateBox_->setCurrentIndex(chosen);
}

VideoFormat FormatDialog::SelectedFormat() const {
    const QVariant index = rateBox_->currentData();
    if (!index.isValid())
        return VideoFormat{};
    return offered_[size_t(index.toInt())];
}

// ---- Source --------------------------------------------------------------------------

SourceDialog::SourceDialog(std::vector<ImageControl> controls, Apply apply, QWidget* parent)
    : QDialog(parent), original_(std::move(controls)), apply_(std::move(apply)) {
    setWindowTitle(QStringLiteral("Video Source"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const auto& control : original_) {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(control.label);
        slider->setRange(control.minimum, control.maximum);
        slider->setValue(control.value);
        slider->setMinimumWidth(240);
        const QString label = control.label;
        connect(slider, &QSlider::valueChanged, this, [this, label](int value) { apply_(label, value); });
        form->addRow(Caption(control.label) + QLatin1Char(':'), slider);
    }
    layout->addLayout(form);
    AddButtons(this, layout, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
}

void SourceDialog::reject() {
    for (const auto& control : original_) apply_(control.label, control.value);
    QDialog::reject();
}

QString SourceDialog::Caption(const QString& label) {
    QString caption = label.toLower();
    if (!caption.isEmpty())
        caption[0] = caption[0].toUpper();
    return caption;
}

// ---- Compressor ------------------------------------------------------------------------

CompressorDialog::CompressorDialog(int quality, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Video Compression"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* compressor = new QComboBox(this);
    compressor->setObjectName(QStringLiteral("cboCompressor"));
    compressor->addItem(QStringLiteral("Motion-JPEG"));
    form->addRow(QStringLiteral("Compressor:"), compressor);

    auto* qualityRow = new QHBoxLayout;
    quality_ = new QSlider(Qt::Horizontal, this);
    quality_->setObjectName(QStringLiteral("sldQuality"));
    quality_->setRange(1, 100);
    quality_->setValue(quality);
    qualityText_ = new QLabel(QString::number(quality_->value()), this);
    qualityText_->setMinimumWidth(30);
    connect(quality_, &QSlider::valueChanged, qualityText_,
            [this](int value) { qualityText_->setText(QString::number(value)); });
    qualityRow->addWidget(quality_);
    qualityRow->addWidget(qualityText_);
    form->addRow(QStringLiteral("Quality:"), qualityRow);
    layout->addLayout(form);
    AddButtons(this, layout, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
}

int CompressorDialog::Quality() const {
    return quality_->value();
}

}  // namespace snapwire::capture
