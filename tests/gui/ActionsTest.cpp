// Actions on tool bars and menu items: what the buttons show and when
// handlers run.
#include "gui/ActnList.h"
#include "gui/Forms.h"
#include "gui/Menus.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace vcl;

namespace {

QImage Square(QColor color) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

TEST(ActionsTest, ToolBarButtonsShowTickEnabledAndVisibleStates) {
    TForm form;
    form.SetClientSize(600, 300);
    auto* top = new TActionToolBar(&form);
    top->SetAlign(alTop);
    top->SetHeight(26);
    TAction quit("&Quitter", &form), displays("A&fficheurs", &form), giant("..géants", &form);
    top->AddAction(&quit);
    top->AddSeparator();
    top->AddAction(&displays);
    top->AddAction(&giant);
    int runs = 0;
    displays.OnExecute = [&] { ++runs; };
    giant.OnExecute = [&] { ++runs; };
    displays.SetChecked(true);
    giant.SetEnabled(false);
    form.show();

    QToolButton* button = top->ButtonFor(&displays);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text().toStdString(), "A&fficheurs"); // access key kept
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(top->ButtonFor(&giant)->isEnabled());

    // A click runs the action and leaves the tick to the action's handler.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(displays.Checked());
    EXPECT_TRUE(button->isChecked());
    displays.SetChecked(false);
    EXPECT_FALSE(button->isChecked());

    QTest::mouseClick(top->ButtonFor(&giant), Qt::LeftButton); // disabled: nothing
    EXPECT_FALSE(giant.Execute());                             // from code neither
    EXPECT_EQ(runs, 1);
    giant.SetEnabled(true);
    QTest::mouseClick(top->ButtonFor(&giant), Qt::LeftButton);
    EXPECT_EQ(runs, 2);

    giant.SetVisible(false);
    ProcessMessages();
    EXPECT_FALSE(top->ButtonFor(&giant)->isVisible());
}

TEST(ActionsTest, PictureToolBarShowsTheImageOfEachAction) {
    TForm form;
    auto* right = new TActionToolBar(&form);
    right->SetStyle(tsPictures);
    right->SetVertical(true);
    TImageList images(16, 16, &form);
    images.Add(Square(Qt::red));
    images.Add(Square(Qt::green));
    right->SetImages(&images);
    TAction redo("Refaire", &form);
    redo.SetImageIndex(1);
    right->AddAction(&redo);
    QToolButton* button = right->ButtonFor(&redo);
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
    const QImage shown = button->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(QColor(shown.pixel(8, 8)), QColor(Qt::green));
    redo.SetImageIndex(0);
    EXPECT_EQ(QColor(button->icon().pixmap(16, 16).toImage().pixel(8, 8)), QColor(Qt::red));
}

TEST(ActionsTest, MenuItemsRunOnlyWhenEnabledAndNeverTickThemselves) {
    TPopupMenu menu;
    TMenuItem* channel = menu.Add("Voie Y1");
    TMenuItem* grid = channel->Add("&Grille");
    channel->AddSeparator();
    TMenuItem* zero = channel->Add("Ajuster le zéro");
    int gridClicks = 0, zeroClicks = 0;
    grid->OnClick = [&] { ++gridClicks; };
    zero->OnClick = [&] { ++zeroClicks; };
    grid->SetChecked(true);
    zero->SetEnabled(false);

    EXPECT_EQ(channel->Count(), 3);
    EXPECT_TRUE(channel->Items(1)->Action()->isSeparator());
    EXPECT_EQ(channel->Find("Grille"), grid);
    grid->Action()->trigger();
    EXPECT_EQ(gridClicks, 1);
    EXPECT_TRUE(grid->Checked());
    EXPECT_TRUE(grid->Action()->isChecked());
    zero->Action()->trigger();
    zero->Click(); // from code neither
    EXPECT_EQ(zeroClicks, 0);
    EXPECT_EQ(channel->SubMenu()->actions().size(), 3);
}

} // namespace
