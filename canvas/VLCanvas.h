// The canvas: a scroll area whose only child is the frame image holder.
#pragma once

#include <QScrollArea>

class QImage;
class QPixmap;
class VLImageHolder;
class VelmoraView;
struct _XImage;

class VLCanvas : public QScrollArea {
    Q_OBJECT

  public:
    VLCanvas(VelmoraView* view, QWidget* parent, const char* name);
    ~VLCanvas() override;

    VLImageHolder* get_image_holder() const { return m_holder; }
    VelmoraView* getView() const { return m_view; }

    // Hands the frame image to the holder (see VLImageHolder::set_image_pixmap).
    void setImageClient(const QPixmap& pixmap, _XImage* image, short mode);
    // Loads a picture file into the holder; returns 0.
    int load(const char* fileName);
    // Returns 0 without effect.
    int loadfromdata(const unsigned char* data, unsigned int length);

  signals:
    void image_size_changed();

  public slots:
    void set_image(const QImage& image);
    void line_left();
    void line_right();
    void page_left();
    void page_right();
    void line_up();
    void line_down();
    void page_up();
    void page_down();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    VLImageHolder* m_holder = nullptr; // owned through the scroll area
    VelmoraView* m_view = nullptr;     // not owned
};
