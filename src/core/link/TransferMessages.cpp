#include "core/link/TransferMessages.h"

const char* TransferMessageEnglishText(TransferMessage message)
{
    switch (message) {
    case TransferMessage::CommunicationError:
        return "Communication Error,Please check all the connections and the radio power";
    case TransferMessage::CannotOpenPort:
        return "Could not Open the Port,Please check whether the Port are occupied or the device are ok";
    case TransferMessage::ProgramInterrupt: return "Program Interrupt, Please reset the radio and try again";
    case TransferMessage::TypeMismatch: return TypeMismatchText(false);
    }
    return "";
}

const char* TypeMismatchText(bool chinese)
{
    return chinese ? "对讲机类型不匹配,无法通讯。"
                   : "Becuase the type of radio does not match,\ncommunications is interrupt.";
}

const char* TypeMismatchCaption(bool chinese)
{
    return chinese ? "警告" : "Caution";
}

std::string PartialWriteText(int frames, bool chinese)
{
    const std::string n = std::to_string(frames);
    const std::string total = std::to_string(kTransferFrames);
    if (chinese)
        return "对讲机只写入了部分新数据(已写入 " + n + "/" + total + " 块)。使用前请重新写入。";
    return "The radio holds only part of the new data (" + n + " of " + total +
           " blocks written). Write again before using the radio.";
}

std::string DisconnectedText(const std::string& device, bool chinese)
{
    return chinese ? "数据线已断开(" + device + ")。" : "The cable was disconnected (" + device + ").";
}

std::string ReadConfirmationText(const std::string& device, bool chinese)
{
    return chinese ? "已从 " + device + " 上的对讲机读取。" : "Read from the radio on " + device + ".";
}

std::string WriteConfirmationText(const std::string& device, bool chinese)
{
    return chinese ? "已写入 " + device + " 上的对讲机。" : "Written to the radio on " + device + ".";
}
