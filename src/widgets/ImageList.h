#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>

// The toolkit's image list: equally sized pictures addressed by index.
class TImageList {
 public:
  explicit TImageList(QSize size = QSize(16, 16)) : size_(size) {}
  QSize Size() const { return size_; }
  int Count() const { return static_cast<int>(images_.size()); }
  void Add(const QPixmap& p) { images_.append(p); }
  void Clear() { images_.clear(); }
  // An index outside the list gives a null icon.
  QIcon GetIcon(int index) const {
    if (index < 0 || index >= Count()) return QIcon();
    return QIcon(images_[index]);
  }
  const QPixmap& Image(int index) const { return images_[index]; }

 private:
  QSize size_;
  QList<QPixmap> images_;
};
