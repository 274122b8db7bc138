#ifndef FILESIZELIMIT_H
#define FILESIZELIMIT_H

#include <sys/resource.h>

// While it lives, this process cannot make a file longer than `bytes`, as on
// a card that fills up: a write past the limit fails (SIGXFSZ is ignored)
// instead of ending the test.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active = false;

private:
    rlimit saved {};
    void (*previousHandler)(int) = nullptr;
};

#endif
