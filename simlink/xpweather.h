// One X-Plane weather record, sent over the bridge as text, e.g.
// "Press=29.92:Vis=80000.0:Temp=15.0:Dew=5.0:...:Cloudlayer{Type=0:Coverage=0:Base=0:Top=0|...}:WindLayer{...}".
#pragma once

struct XPCloudLayer
{
    int Type = 0;
    float Coverage = 0.0f;
    float Base = 0.0f;
    float Top = 0.0f;
};

struct XPWindLayer
{
    float Alt = 0.0f;
    float Dir = 0.0f;
    float Speed = 0.0f;
    float Turbulence = 0.0f;
    float ShearDir = 0.0f;
    float ShearSpeed = 0.0f;
};

// The three cloud and three wind layers are always sent, set or not.
struct CXPWeather
{
    static constexpr int kLayers = 3;

    XPCloudLayer Cloudlayer[kLayers];
    XPWindLayer WindLayer[kLayers];
    float Press = 29.92f; // inches of mercury
    float Vis = 80000.0f; // metres
    float Temp = 15.0f; // degrees Celsius
    float Dew = 5.0f;
    float RainPercent = 0.0f; // fractions 0..1
    float ThunderstromPercent = 0.0f;
    float WindTurbulencePercent = 0.0f;
    float RateChangePercent = 0.0f;
    int WaveDir = 0;
    float WaveHeight = 0.0f;
    float WaveSpeed = 0.0f;
    float WaveLenght = 0.0f;
};
