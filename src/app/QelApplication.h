#pragma once

#include <QApplication>

#include <functional>

// The application object. Every exception that an event handler lets out
// reaches one handler here instead of ending the program.
class QelApplication : public QApplication {
    Q_OBJECT
public:
    QelApplication(int& argc, char** argv);

    using ExceptionHandler = std::function<void(const QString& message)>;
    void setExceptionHandler(ExceptionHandler handler) { handler_ = std::move(handler); }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    ExceptionHandler handler_;
};
