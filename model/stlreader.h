#pragma once

#include <algorithm>

#include <QObject>
#include <QString>
#include <QVector>

// The twelve floats of one binary STL record, in file order: normal, then the three corners.
struct STLStruct
{
    float nx = 0, ny = 0, nz = 0;
    float ax = 0, ay = 0, az = 0;
    float bx = 0, by = 0, bz = 0;
    float cx = 0, cy = 0, cz = 0;
};

// One STL model read from disk: its facets in file order and its bounding box, moved so that the
// box is centred on the origin in x and y and rests on z = 0. Normals are always recomputed from
// the corners, whatever the file says.
class STLReader : public QObject
{
    Q_OBJECT

public:
    struct Vertex
    {
        float x = 0;
        float y = 0;
        float z = 0;
    };

    class Facet
    {
    public:
        Facet() = default;
        explicit Facet(const STLStruct &record);

        Vertex n() const { return m_n; }
        Vertex a() const { return m_a; }
        Vertex b() const { return m_b; }
        Vertex c() const { return m_c; }

        void recalculateNormals();
        void translate(float dx, float dy, float dz);
        float getArea() const;
        float getVolume() const;

    private:
        Vertex m_n;
        Vertex m_a;
        Vertex m_b;
        Vertex m_c;
    };

    explicit STLReader(const QString &path);

    bool isValid() const { return m_valid; }
    float getXMin() const { return m_bounds[0]; }
    float getXMax() const { return m_bounds[1]; }
    float getYMin() const { return m_bounds[2]; }
    float getYMax() const { return m_bounds[3]; }
    float getZMin() const { return m_bounds[4]; }
    float getZMax() const { return m_bounds[5]; }
    float getObjectTriangles() const { return float(m_facets.size()); }
    // Measures and resin costs, in single precision, summed facet by facet in file order and
    // computed afresh on every call: mm, cm², cm³, kg and euro.
    float getObjectLength() const;
    float getObjectWidth() const;
    float getObjectHeight() const;
    float getObjectArea() const;
    float getObjectVolume() const;
    float getObjectMass() const;
    float getObjectCostFTD_SB() const;
    float getObjectCostFTD_IB() const;
    float getObjectCostFTD_CB() const;
    float getObjectCostPTL_HS() const;
    float getObjectCostPTL_CB() const;
    QString getModelName() const;
    QString getModelFilePath() const { return m_filePath; }
    const QVector<Facet> &facets() const { return m_facets; }
    // Why the file could not be read; empty when it was (a missing file reads as an empty model).
    QString errorString() const { return m_error; }

    // 0: ASCII, 1: binary, 2: the file cannot be opened.
    int whichFileType() const;

private:
    bool parseASCIIFile(QString &error);
    bool parseBinaryFile(QString &error);
    // Appends the facet and widens the bounds by its corners; inline, as it runs once per facet.
    void addFacetFromStruct(const STLStruct &record)
    {
        m_facets.append(Facet(record));
        m_bounds[0] = std::min({m_bounds[0], record.ax, record.bx, record.cx});
        m_bounds[1] = std::max({m_bounds[1], record.ax, record.bx, record.cx});
        m_bounds[2] = std::min({m_bounds[2], record.ay, record.by, record.cy});
        m_bounds[3] = std::max({m_bounds[3], record.ay, record.by, record.cy});
        m_bounds[4] = std::min({m_bounds[4], record.az, record.bz, record.cz});
        m_bounds[5] = std::max({m_bounds[5], record.az, record.bz, record.cz});
    }
    void normalizeAxes();

    QString m_filePath;
    bool m_valid = true;
    QString m_error;
    QVector<Facet> m_facets;
    float m_bounds[6] = {0, 0, 0, 0, 0, 0};
};
