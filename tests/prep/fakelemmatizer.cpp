// A stand-in lemmatizer for the stage tests. Reads standard input up to 0x1A and writes each
// blank-separated token in braces, unless its first argument asks for a fault:
//   --args        write the arguments in braces instead
//   --flood       write 4 MiB before reading anything
//   --hang        read the input, then never answer
//   --silent      read the input, write nothing
//   --exit-early  exit without reading
//   --slow=WORD   answer 300 ms late when the text holds WORD
//   --count=DIR   also write how many children are running (files in DIR)
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string ReadInput()
{
    std::string text;
    char buf[65536];
    for (ssize_t n; (n = ::read(0, buf, sizeof buf)) > 0;) {
        text.append(buf, static_cast<size_t>(n));
        const size_t mark = text.find('\x1A');
        if (mark != std::string::npos)
            return text.substr(0, mark);
    }
    return text;
}

void Write(const std::string& s)
{
    for (size_t done = 0; done < s.size();) {
        const ssize_t n = ::write(1, s.data() + done, s.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

std::string Braces(const std::string& text)
{
    std::string out, token;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || static_cast<unsigned char>(text[i]) <= ' ') {
            if (!token.empty())
                out += "{" + token + "} ";
            token.clear();
        } else {
            token += text[i];
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace std::chrono_literals;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--exit-early")
        return 0;
    if (mode == "--flood")
        Write(std::string(4 << 20, 'x'));
    const std::string text = ReadInput();
    if (mode == "--hang")
        std::this_thread::sleep_for(1h);
    if (mode == "--silent")
        return 0;
    if (mode == "--args") {
        for (int i = 1; i < argc; ++i)
            Write("{" + std::string(argv[i]) + "}");
        return 0;
    }
    if (mode.rfind("--slow=", 0) == 0 && text.find(mode.substr(7)) != std::string::npos)
        std::this_thread::sleep_for(300ms);
    if (mode.rfind("--count=", 0) == 0) {
        const std::filesystem::path dir = mode.substr(8);
        const auto mine = dir / std::to_string(::getpid());
        ::close(::creat(mine.c_str(), 0600));
        size_t running = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
            ++running;
        std::this_thread::sleep_for(30ms);
        std::filesystem::remove(mine);
        Write("{running=" + std::to_string(running) + "} ");
    }
    Write(Braces(text));
    return 0;
}
