#include "logo/ui/LogoImportDialog.h"

#include <QPixmap>
#include <QSignalBlocker>

#include "ui_LogoImportDialog.h"
#include "widgets/Prompts.h"

namespace {

// The order of the entries in the mode and dithering lists.
constexpr LogoImportMode kModes[] = {LogoImportMode::AsDrawn, LogoImportMode::Fit, LogoImportMode::Fill};
constexpr LogoDither kDithers[] = {LogoDither::None, LogoDither::FloydSteinberg, LogoDither::Bayer4,
                                   LogoDither::Bayer8};

template <typename T, std::size_t N>
int indexOf(const T (&list)[N], T value)
{
    for (std::size_t i = 0; i < N; ++i)
        if (list[i] == value)
            return static_cast<int>(i);
    return 0;
}

template <typename T, std::size_t N>
T entry(const T (&list)[N], int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? list[index] : list[0];
}

} // namespace

LogoImportDialog::LogoImportDialog(const QImage& picture, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::LogoImportDialog>())
    , import_(picture)
{
    ui_->setupUi(this);
    ui_->pictureView->setFixedSize(ui_->dotPreview->sizeHint());
    showPicture();
    setOptions({});

    connect(ui_->modeBox, &QComboBox::currentIndexChanged, this, &LogoImportDialog::updatePreview);
    connect(ui_->ditherBox, &QComboBox::currentIndexChanged, this, &LogoImportDialog::updatePreview);
    connect(ui_->autoThresholdBox, &QCheckBox::toggled, this, &LogoImportDialog::updatePreview);
    connect(ui_->invertBox, &QCheckBox::toggled, this, &LogoImportDialog::updatePreview);
    for (QSlider* slider : {ui_->thresholdSlider, ui_->brightnessSlider, ui_->contrastSlider})
        connect(slider, &QSlider::valueChanged, this, &LogoImportDialog::updatePreview);
}

LogoImportDialog::~LogoImportDialog() = default;

std::optional<LogoDots> LogoImportDialog::choose(QWidget* parent, const QImage& picture)
{
    LogoImportDialog dialog(picture, parent);
    if (!prompts().runDialog(dialog))
        return std::nullopt;
    return dialog.dots();
}

LogoImportOptions LogoImportDialog::options() const
{
    LogoImportOptions options;
    options.mode = entry(kModes, ui_->modeBox->currentIndex());
    if (!ui_->autoThresholdBox->isChecked())
        options.threshold = ui_->thresholdSlider->value();
    options.dither = entry(kDithers, ui_->ditherBox->currentIndex());
    options.invert = ui_->invertBox->isChecked();
    options.brightness = ui_->brightnessSlider->value();
    options.contrast = ui_->contrastSlider->value();
    return options;
}

void LogoImportDialog::setOptions(const LogoImportOptions& options)
{
    {
        const QSignalBlocker blockers[] = {QSignalBlocker(ui_->modeBox),          QSignalBlocker(ui_->ditherBox),
                                           QSignalBlocker(ui_->autoThresholdBox), QSignalBlocker(ui_->invertBox),
                                           QSignalBlocker(ui_->thresholdSlider),  QSignalBlocker(ui_->brightnessSlider),
                                           QSignalBlocker(ui_->contrastSlider)};
        ui_->modeBox->setCurrentIndex(indexOf(kModes, options.mode));
        ui_->ditherBox->setCurrentIndex(indexOf(kDithers, options.dither));
        ui_->autoThresholdBox->setChecked(!options.threshold);
        ui_->thresholdSlider->setValue(options.threshold.value_or(LogoImportOptions::kDefaultThreshold));
        ui_->invertBox->setChecked(options.invert);
        ui_->brightnessSlider->setValue(options.brightness);
        ui_->contrastSlider->setValue(options.contrast);
    }
    updatePreview();
}

const LogoDots& LogoImportDialog::dots() const
{
    return ui_->dotPreview->dots();
}

void LogoImportDialog::showPicture()
{
    const QImage& picture = import_.picture();
    ui_->pictureCaption->setText(tr("Picture, %1 × %2 pixels").arg(picture.width()).arg(picture.height()));
    if (picture.isNull())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize room = ui_->pictureView->contentsRect().size() * ratio;
    // Enlarged pixels stay sharp squares, so a small bitmap can be compared
    // dot for dot with the preview beside it.
    const bool enlarging = picture.width() < room.width() && picture.height() < room.height();
    QImage shown =
        picture.scaled(room, Qt::KeepAspectRatio, enlarging ? Qt::FastTransformation : Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    ui_->pictureView->setPixmap(QPixmap::fromImage(shown));
}

void LogoImportDialog::updatePreview()
{
    const LogoImportOptions chosen = options();
    // "As drawn" reads the pixels as they are; only invert applies to it.
    const bool scaled = chosen.mode != LogoImportMode::AsDrawn;
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui_->thresholdLabel, ui_->autoThresholdBox, ui_->thresholdValue, ui_->ditherLabel, ui_->ditherBox,
             ui_->brightnessLabel, ui_->brightnessSlider, ui_->brightnessValue, ui_->contrastLabel, ui_->contrastSlider,
             ui_->contrastValue})
        control->setEnabled(scaled);
    ui_->thresholdSlider->setEnabled(scaled && chosen.threshold.has_value());
    if (!chosen.threshold) {
        // The slider shows what Auto chose and starts from there when Auto is cleared.
        const QSignalBlocker blocker(ui_->thresholdSlider);
        ui_->thresholdSlider->setValue(import_.threshold(chosen));
    }
    ui_->thresholdValue->setNum(ui_->thresholdSlider->value());
    ui_->brightnessValue->setNum(chosen.brightness);
    ui_->contrastValue->setNum(chosen.contrast);
    ui_->dotPreview->setDots(import_.dots(chosen));
}
