// The device names of the help text on Windows.
#include "device_help.h"

namespace qrticket::cli {

const char* const kDeviceHelp =
    "Dispositivos: LPT1: a LPT3: e COM1: a COM256: (as portas do Windows), printer:NOME (uma\n"
    "impressora instalada no Windows, num trabalho RAW; printer: é a predefinida),\n"
    "tcp://ENDEREÇO[:PORTA] (impressora de rede, porta 9100 por omissão; um endereço IPv4\n"
    "escreve-se com quatro números, 192.168.1.50), qualquer caminho (um ficheiro,\n"
    "\\\\servidor\\impressora) ou - (saída padrão). --list-devices mostra os deste computador.\n"
    "VISUALIZAR: desenha o talão numa imagem com a impressora virtual, sem impressora.\n"
    "Uma porta série aceita definições depois do nome, como no MODE: PORTA:VELOCIDADE[,PARIDADE\n"
    "[,DADOS[,PARAGEM[,FLUXO]]]], por exemplo COM3:19200,n,8,1 ou COM1:9600,n,8,1,r; paridade\n"
    "n e o m s, dados 5 a 8, paragem 1, 1.5 ou 2, fluxo n (nenhum), x (XON/XOFF), r (RTS/CTS),\n"
    "d (DTR/DSR) ou p (RTS/CTS e DTR/DSR); sem elas a porta fica como está.";

const char* const kListDevicesHelp =
    "mostra os dispositivos deste computador (nome, tabulação, descrição) e sai";

const char* const kTimeoutHelp = "segundos sem aceitar dados até a impressão falhar";

const char* const kSignalExitHelp =
    "128+N interrompido (130 Ctrl+C ou Ctrl+Break, 129 janela da consola fechada, 143 fim\n"
    "de sessão ou encerramento do Windows).";

}  // namespace qrticket::cli
