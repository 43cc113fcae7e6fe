// Schemes dress the welcome window: the button pictures, the background tile, the colours, the
// game's name shown or hidden, and the logo.

#include "data/scheme_file.h"
#include "data/ui_texts.h"
#include "platform/control_set.h"
#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "shell/welcome.h"
#include "shell/welcome_layout.h"

namespace tv {

using namespace welcome_layout;

namespace {
constexpr int kPictures = 4; // Img(0) to Img(3)
} // namespace

void Welcome::showPlainButtons() {
    for (int i = 0; i < 3; ++i) {
        Img_->at(i).setVisible(false);
        Label& b = lblButton_->at(i);
        b.setCaption(uiTexts()[i + 1]);
        b.setTop((kButtonCentre[i] - b.pixelGeometry().height() / 2) * kTwipsPerPixel);
        b.setVisible(true);
    }
}

void Welcome::UseScheme(const QString& schemeName) {
    const ProjectFolders& folders = project().folders;
    const SchemeReading reading = readSchemeForWelcome(folders, schemeName);
    if (reading.outcome == SchemeReading::Outcome::Missing) {
        showPlainButtons();
        return;
    }
    // A reading never stops among the names: once the count is read, all of them are.
    if (!reading.passed(SchemeField::Pictures) || reading.scheme.refused()) return;
    const SchemeFile& scheme = reading.scheme;
    const QString folder = schemeFolderPath(folders, schemeName);
    for (int i = 0; i < scheme.PictureCount; ++i) {
        // The window has four pictures: a longer list ends the scheme there, as a picture that
        // cannot be loaded does.
        if (i >= kPictures) return;
        ImageBox& picture = Img_->at(i);
        const QString& name = scheme.Pictures.value(i);
        if (isNoPicture(name)) {
            picture.setPicture({});
            picture.setVisible(false);
            continue;
        }
        try {
            picture.setPicture(Picture::load(files::resolve(folder + name)));
        } catch (const VbError&) {
            return;
        }
        if (i < 3) {
            // A button picture stands where its label would, centred on the same height.
            const QRect r = picture.pixelGeometry();
            picture.setPixelGeometry(QRect((kWidth - r.width()) / 2,
                                           kButtonCentre[i] - r.height() / 2, r.width(),
                                           r.height()));
        }
        picture.setVisible(true);
    }
    for (int i = 0; i < 3; ++i) {
        Label& button = lblButton_->at(i);
        if (Img_->at(i).isVisible()) {
            button.setVisible(false); // the picture is the button
        } else {
            button.setCaption(uiTexts()[i + 1]);
            button.setTop((kButtonCentre[i] - button.pixelGeometry().height() / 2) *
                          kTwipsPerPixel);
            button.setVisible(true);
        }
    }

    if (!reading.passed(SchemeField::ColourFormat)) return;
    ImageBox& tile = Img_->at(3);
    if (scheme.ColourFormat != 0) {
        const auto colour = [](qint32 c) { return quint32(c); };
        if (!reading.passed(SchemeField::WindowColour)) return;
        if (tile.picture().isNull()) {
            window_->setBackColor(colour(scheme.WindowColour));
            chkResolution_->setBackColor(colour(scheme.WindowColour));
        }
        if (!reading.passed(SchemeField::TitleColour)) return;
        txtAdventureName_->setForeColor(colour(scheme.TitleColour));
        if (!reading.passed(SchemeField::TextColour)) return;
        for (Label* text : {lblResolution_, txtVersion_, lblAuthor_, lblEmail_, lblHomepage_,
                            txtAuthor_, txtEmail_, txtHomepage_})
            text->setForeColor(colour(scheme.TextColour));
        if (scheme.ColourFormat >= 4) {
            if (!reading.passed(SchemeField::ButtonColour)) return;
            for (int i = 0; i < 3; ++i)
                lblButton_->at(i).setForeColor(colour(scheme.ButtonColour));
        }
    }

    tile.setVisible(false);
    if (const Picture& p = tile.picture(); !p.isNull()) {
        window_->Cls();
        const int width = p.widthPixels(), height = p.heightPixels();
        for (int y = 0; y < kHeight; y += height)
            for (int x = 0; x < kWidth; x += width)
                window_->PaintPicture(p, x * kTwipsPerPixel, y * kTwipsPerPixel);
    }
    if (!scheme.hasTail) return;
    if (!reading.passed(SchemeField::HideTitle)) return;
    txtAdventureName_->setVisible(!scheme.hidesTitle());
    if (!scheme.hasLogo || !reading.passed(SchemeField::LogoFlag)) return;
    applyLogo(scheme.LogoStyle, scheme.LogoFlag);
}

} // namespace tv
