#pragma once
// A plug-in of the tests: two launcher entries (one with an icon, one whose
// icon is missing and whose frame shows a splitter) and an auxiliary entry.
// Its views count what the launcher sends them in dynamic properties, so the
// tests need no header of the library: "rebuilds" (hint 1026) on the view,
// "starts" (command 1028) on the frame.

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"

class CTestPlugDoc : public platform::Document {
    Q_OBJECT
public:
    Q_INVOKABLE CTestPlugDoc();
};

class CTestPlugView : public platform::View {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CTestPlugView(QWidget* parent = nullptr);
    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;
};

// B's own view class: windows are told apart by their view classes.
class CTestPlugBView : public platform::View {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CTestPlugBView(QWidget* parent = nullptr);
    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;
};

class CTestPlugSubView : public platform::View {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CTestPlugSubView(QWidget* parent = nullptr);
};

class CTestPlugFrame : public platform::ChildFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CTestPlugFrame(QWidget* parent = nullptr);
};

class CTestPlugSplitFrame : public platform::ChildFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CTestPlugSplitFrame(QWidget* parent = nullptr);
    bool OnCreateClient(platform::CreateContext& ctx) override;
};
