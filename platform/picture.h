#pragma once
// Picture objects of the classic forms runtime: an image with the sizes the runtime reports
// (HiMetric), the kind of file it came from and, for cursors, the hot spot.

#include <QImage>
#include <QMetaType>
#include <QObject>
#include <QPoint>
#include <QString>

namespace tv {

// HiMetric units (0.01 mm) at 96 pixels per inch, as the classic runtime reports picture sizes.
int pixelsToHiMetric(int pixels);
double hiMetricToPixels(double hiMetric);

class Picture {
    Q_GADGET
    Q_PROPERTY(int Width READ Width)
    Q_PROPERTY(int Height READ Height)
    Q_PROPERTY(int Type READ type)

public:
    // The classic picture types.
    enum Type { None = 0, Bitmap = 1, Metafile = 2, Icon = 3, EnhancedMetafile = 4 };

    Picture() = default;
    // hotSpot is meaningful for cursors only; (-1, -1) means "none given".
    explicit Picture(QImage image, Type type = Bitmap, QPoint hotSpot = {-1, -1});

    // Loads a picture file. The format is recognised from the content (BMP, JPEG, GIF, PNG, ICO,
    // CUR); a file named .ico or .cur must really be an icon or cursor. GIFs give their first
    // frame with transparency kept. An empty path gives the empty picture.
    // Throws VbError 53 for a missing file, 481 for content that is not a picture it can decode
    // (metafiles included).
    static Picture load(const QString& realPath);

    // Writes the picture as a BMP file (the classic SavePicture). Throws VbError 75 on failure.
    void save(const QString& realPath) const;

    bool isNull() const { return image_.isNull(); }
    const QImage& image() const { return image_; }
    int widthPixels() const { return image_.width(); }
    int heightPixels() const { return image_.height(); }
    int Width() const { return pixelsToHiMetric(image_.width()); }
    int Height() const { return pixelsToHiMetric(image_.height()); }
    int type() const { return isNull() ? None : type_; }

    bool hasHotSpot() const { return hotSpot_.x() >= 0 && hotSpot_.y() >= 0; }
    QPoint hotSpot() const { return hotSpot_; }

    // Same picture object (copies of one load compare equal).
    bool operator==(const Picture& other) const;
    bool operator!=(const Picture& other) const { return !(*this == other); }

private:
    QImage image_;
    Type type_ = None;
    QPoint hotSpot_{-1, -1};
};

// A picture as scripts hold it: an object with the classic Width, Height and Type, and a Handle
// (its default member) that is non-zero while there is a picture.
class PictureObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Width READ width)
    Q_PROPERTY(int Height READ height)
    Q_PROPERTY(int Type READ type)
    Q_PROPERTY(int Handle READ handle)
    Q_CLASSINFO("DefaultMember", "Handle")
public:
    // The image also rides in the dynamic property "tvImage" (not a script member), which is
    // how component libraries, knowing nothing of Picture, read a picture object.
    explicit PictureObject(Picture picture, QObject* parent = nullptr);
    const Picture& picture() const { return picture_; }
    int width() const { return picture_.Width(); }
    int height() const { return picture_.Height(); }
    int type() const { return picture_.type(); }
    int handle() const;

private:
    Picture picture_;
};

} // namespace tv

Q_DECLARE_METATYPE(tv::Picture)
