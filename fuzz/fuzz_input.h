// fuzz_input.h - splitting a fuzzer's bytes into the values a target needs,
// and the one way a target reports a broken property.
#ifndef ZK_FUZZ_INPUT_H
#define ZK_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Ends the run with a message the fuzzer shows beside the input.
inline void require(bool ok, const char* property) {
    if (!ok) {
        fprintf(stderr, "property broken: %s\n", property);
        abort();
    }
}

class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // The next byte; 0 once the input is used up.
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    // A number in [low, high] from the next two bytes.
    int number(int low, int high) {
        unsigned value = byte();
        value = (value << 8) | byte();
        return low + static_cast<int>(value % static_cast<unsigned>(high - low + 1));
    }

    // The bytes up to the next separator (which is used up too) or the end.
    // Targets pick a separator their texts need not hold, so that seed files
    // stay text.
    std::string text(char separator) {
        std::string out;
        while (m_pos < m_size && m_data[m_pos] != static_cast<uint8_t>(separator))
            out.push_back(static_cast<char>(m_data[m_pos++]));
        if (m_pos < m_size)
            ++m_pos;
        return out;
    }

    // Everything not used yet.
    std::string rest() {
        std::string out(reinterpret_cast<const char*>(m_data) + m_pos, m_size - m_pos);
        m_pos = m_size;
        return out;
    }

  private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

#endif
