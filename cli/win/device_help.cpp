// The device names of the help text on Windows.
#include "device_help.h"

namespace qrticket::cli {

const char* const kDeviceHelp =
    "Dispositivos: LPT1: a LPT3: e COM1: a COM256: (as portas do Windows), printer:NOME (uma\n"
    "impressora instalada no Windows, num trabalho RAW; printer: é a predefinida),\n"
    "tcp://ENDEREÇO[:PORTA] (impressora de rede, porta 9100 por omissão; um endereço IPv4\n"
    "escreve-se com quatro números, 192.168.1.50), qualquer caminho (um ficheiro,\n"
    "\\\\servidor\\impressora) ou - (saída padrão). --list-devices mostra os deste computador.\n"
    "VISUALIZAR: desenha o talão numa imagem com a impressora virtual, sem impressora.";

}  // namespace qrticket::cli
