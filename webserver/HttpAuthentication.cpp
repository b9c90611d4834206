#include "webserver/HttpAuthentication.h"

#include <QCryptographicHash>
#include <QMap>

namespace vaultora::webserver {

namespace {

QByteArray md5Hex(const QByteArray& data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
}

QByteArray quoted(const QString& text) {
    QByteArray escaped = text.toUtf8();
    escaped.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + escaped + '"';
}

// Splits the parameters of a Digest credential: name=value or name="quoted value".
QMap<QByteArray, QByteArray> parseParameters(const QByteArray& text) {
    QMap<QByteArray, QByteArray> parameters;
    qsizetype position = 0;
    while (position < text.size()) {
        while (position < text.size() && (text[position] == ' ' || text[position] == ',')) {
            ++position;
        }
        const qsizetype equals = text.indexOf('=', position);
        if (equals < 0) {
            break;
        }
        const QByteArray name = text.mid(position, equals - position).trimmed().toLower();
        position = equals + 1;
        QByteArray value;
        if (position < text.size() && text[position] == '"') {
            ++position;
            while (position < text.size() && text[position] != '"') {
                if (text[position] == '\\' && position + 1 < text.size()) {
                    ++position;
                }
                value += text[position];
                ++position;
            }
            ++position;
        } else {
            const qsizetype comma = text.indexOf(',', position);
            const qsizetype end = comma < 0 ? text.size() : comma;
            value = text.mid(position, end - position).trimmed();
            position = end;
        }
        parameters.insert(name, value);
    }
    return parameters;
}

std::optional<QByteArray> credentials(const QByteArray& authorization, const QByteArray& scheme) {
    const qsizetype space = authorization.indexOf(' ');
    if (space < 0 || authorization.left(space).compare(scheme, Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    return authorization.mid(space + 1).trimmed();
}

} // namespace

QByteArray basicChallenge(const QString& realm) {
    return "Basic realm=" + quoted(realm);
}

QByteArray digestChallenge(const QString& realm, const QByteArray& nonce) {
    return "Digest realm=" + quoted(realm) + ", qop=\"auth\", nonce=\"" + nonce + '"';
}

bool verifyBasicAuthorization(const QByteArray& authorization,
                              const PasswordLookup& passwordForUser) {
    const std::optional<QByteArray> encoded = credentials(authorization, "Basic");
    if (!encoded) {
        return false;
    }
    const QByteArray decoded = QByteArray::fromBase64(*encoded);
    const qsizetype colon = decoded.indexOf(':');
    if (colon < 0) {
        return false;
    }
    const std::optional<QString> password = passwordForUser(QString::fromUtf8(decoded.left(colon)));
    return password && password->toUtf8() == decoded.mid(colon + 1);
}

bool verifyDigestAuthorization(const QByteArray& authorization, const QByteArray& method,
                               const QString& realm, const QByteArray& nonce,
                               const PasswordLookup& passwordForUser) {
    const std::optional<QByteArray> text = credentials(authorization, "Digest");
    if (!text || nonce.isEmpty()) {
        return false;
    }
    const QMap<QByteArray, QByteArray> parameters = parseParameters(*text);
    if (parameters.value("nonce") != nonce || parameters.value("realm") != realm.toUtf8() ||
        parameters.value("qop") != "auth") {
        return false;
    }
    const QByteArray user = parameters.value("username");
    const std::optional<QString> password = passwordForUser(QString::fromUtf8(user));
    if (!password) {
        return false;
    }
    const QByteArray ha1 = md5Hex(user + ':' + realm.toUtf8() + ':' + password->toUtf8());
    const QByteArray ha2 = md5Hex(method + ':' + parameters.value("uri"));
    const QByteArray expected = md5Hex(ha1 + ':' + nonce + ':' + parameters.value("nc") + ':' +
                                       parameters.value("cnonce") + ":auth:" + ha2);
    return expected == parameters.value("response");
}

} // namespace vaultora::webserver
