// A window file that calls the system directly.
#include <QWidget>
#include <sys/stat.h>
