#pragma once

#include <QFrame>

#include <memory>

namespace Ui {
class AboutPage;
}

// The About page, `About`: the program's name, its authors and pictures.
class AboutPage : public QFrame {
    Q_OBJECT

  public:
    explicit AboutPage(QWidget* parent);
    ~AboutPage() override;

  private:
    std::unique_ptr<Ui::AboutPage> ui_;
};
